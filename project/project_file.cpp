#include "project/project_file.h"

#include "app/paths.h"

#include <wx/filename.h>
#include <wx/log.h>
#include <wx/stream.h>
#include <wx/xml/xml.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace project_file {
namespace {

// The toolkit's constructor that takes a parent puts the node first; the document needs it last.
wxXmlNode* AppendNode(wxXmlNode* parent, wxXmlNodeType type, const wxString& name, const wxString& content = {}) {
    auto node = std::make_unique<wxXmlNode>(type, name, content);
    parent->AddChild(node.get());
    return node.release();
}

wxXmlNode* AppendElement(wxXmlNode* parent, const wxString& name) {
    return AppendNode(parent, wxXML_ELEMENT_NODE, name);
}

void AppendText(wxXmlNode* element, const wxString& text) {
    AppendNode(element, wxXML_TEXT_NODE, wxString(), text);
}

void BuildDocument(wxXmlDocument& document, const ProjectContents& contents) {
    auto project = std::make_unique<wxXmlNode>(wxXML_ELEMENT_NODE, "project");
    wxXmlNode* name = AppendElement(project.get(), "name");
    wxXmlNode* gif = AppendElement(project.get(), "gif");
    wxXmlNode* images = AppendElement(project.get(), "images");
    AppendText(name, FileNamePart(contents.gifPath));
    AppendText(AppendElement(gif, "width"), wxString::Format("%d", contents.width));
    AppendText(AppendElement(gif, "height"), wxString::Format("%d", contents.height));
    AppendText(AppendElement(gif, "delay_time"), wxString::Format("%d", contents.delay));
    // AddChild walks the whole child list each time; inserting after the previous path keeps long lists linear.
    wxXmlNode* previous = nullptr;
    for (const wxString& path : contents.imagePaths) {
        auto element = std::make_unique<wxXmlNode>(wxXML_ELEMENT_NODE, "path");
        if (previous)
            images->InsertChildAfter(element.get(), previous);
        else
            images->AddChild(element.get());
        previous = element.release();
        AppendText(previous, path);
    }
    document.SetRoot(project.release());
}

SaveResult Failure(const wxString& what, int error) {
    return {false, error ? what + ": " + wxSysErrorMsgStr(error) : what};
}

// A descriptor closed on every way out; the temporary file is removed unless the save went through.
class TemporaryFile {
public:
    TemporaryFile() = default;
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (m_fd >= 0)
            close(m_fd);
        if (!m_name.empty())
            unlink(m_name.c_str());
    }

    // Creates a new file of a fresh name beside `target`; the mode goes through the umask as for any new file.
    bool Create(const std::string& target, mode_t mode) {
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            const std::string name = target + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(attempt);
            m_fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (m_fd >= 0) {
                m_name = name;
                return true;
            }
            if (errno != EEXIST)
                return false;
        }
        return false;
    }

    bool WriteAll(const char* data, size_t size) {
        while (size > 0) {
            const ssize_t written = write(m_fd, data, size);
            if (written < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            data += written;
            size -= static_cast<size_t>(written);
        }
        return true;
    }

    int Descriptor() const { return m_fd; }

    // Closes the file, reporting the errors that a delayed write may only show here.
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return close(fd) == 0;
    }

    bool RenameOver(const std::string& target) {
        if (rename(m_name.c_str(), target.c_str()) != 0)
            return false;
        m_name.clear();
        return true;
    }

private:
    int m_fd = -1;
    std::string m_name;
};

SaveResult WriteReplacing(const wxString& path, const char* data, size_t size) {
    std::string target(path.fn_str());
    if (target.empty())
        return Failure("no file name was given", 0);

    // Replace the file a link points to, not the link.
    struct stat status {};
    if (lstat(target.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        std::unique_ptr<char, decltype(&free)> resolved(realpath(target.c_str(), nullptr), &free);
        if (resolved)
            target = resolved.get();
    }

    mode_t mode = 0666;
    const bool replacing = stat(target.c_str(), &status) == 0;
    if (replacing) {
        if (S_ISDIR(status.st_mode))
            return Failure("it is a folder", 0);
        if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return Failure("the file is read-only", 0);
        mode = status.st_mode & 07777;
    }

    TemporaryFile temporary;
    if (!temporary.Create(target, mode)) {
        const int error = errno;
        const wxString folder = wxFileName(path).GetPath();
        return Failure(wxString::Format("cannot create a file in the folder \"%s\"", folder.empty() ? "." : folder),
                       error);
    }
    if (!temporary.WriteAll(data, size))
        return Failure("writing failed", errno);
    if (replacing && fchmod(temporary.Descriptor(), mode) != 0)
        return Failure("cannot keep the file's permissions", errno);
    if (fsync(temporary.Descriptor()) != 0)
        return Failure("writing failed", errno);
    if (!temporary.Close())
        return Failure("writing failed", errno);
    if (!temporary.RenameOver(target))
        return Failure("cannot replace the file", errno);
    return {true, wxString()};
}

// The toolkit's memory stream grows its buffer a little at a time, copying it on every step; a string grows
// geometrically, which matters for projects of thousands of frames.
class StringOutputStream : public wxOutputStream {
public:
    const std::string& Bytes() const { return m_bytes; }

protected:
    size_t OnSysWrite(const void* data, size_t size) override {
        m_bytes.append(static_cast<const char*>(data), size);
        return size;
    }

private:
    std::string m_bytes;
};

// The node itself when it is the element of that name, else null: every check of the reader is this one.
const wxXmlNode* ElementNamed(const wxXmlNode* node, const char* name) {
    return node && node->GetType() == wxXML_ELEMENT_NODE && node->GetName() == name ? node : nullptr;
}

template <typename Value>
void Deliver(const std::function<void(Value)>& receiver, Value value) {
    if (receiver)
        receiver(value);
}

}  // namespace

wxString FileNamePart(const wxString& path) {
    const size_t separator = path.find_last_of(wxFILE_SEP_PATH);
    return separator == wxString::npos ? path : path.substr(separator + 1);
}

SaveResult Save(const wxString& path, const ProjectContents& contents) {
    wxXmlDocument document;
    BuildDocument(document, contents);
    StringOutputStream buffer;
    if (!document.Save(buffer, 2))
        return Failure("the document could not be encoded", 0);
    return WriteReplacing(path, buffer.Bytes().data(), buffer.Bytes().size());
}

ReadResult Read(const wxString& path, const ReadCallbacks& callbacks) {
    // A bad file ends the read without a word; the toolkit would otherwise log its parser's complaint.
    wxLogNull quiet;
    wxXmlDocument document;
    if (!wxFileName::FileExists(path) || !document.Load(path, "UTF-8", 0) || !document.GetRoot())
        return ReadResult::Stopped;

    // The document node's first child, not GetRoot(): a comment ahead of the root must fail the check.
    const wxXmlNode* project = ElementNamed(document.GetDocumentNode()->GetChildren(), "project");
    if (!project)
        return ReadResult::Stopped;
    const wxXmlNode* name = ElementNamed(project->GetChildren(), "name");
    if (!name)
        return ReadResult::Stopped;
    const wxXmlNode* gif = ElementNamed(name->GetNext(), "gif");
    if (!gif)
        return ReadResult::Stopped;
    const wxXmlNode* width = ElementNamed(gif->GetChildren(), "width");
    if (!width)
        return ReadResult::Stopped;
    Deliver(callbacks.width, paths::ParseLeadingInt(width->GetNodeContent()));
    const wxXmlNode* height = ElementNamed(width->GetNext(), "height");
    if (!height)
        return ReadResult::Stopped;
    Deliver(callbacks.height, paths::ParseLeadingInt(height->GetNodeContent()));
    Deliver<const wxString&>(callbacks.name, name->GetNodeContent());
    const wxXmlNode* delay = ElementNamed(height->GetNext(), "delay_time");
    if (!delay)
        return ReadResult::Stopped;
    Deliver(callbacks.delay, paths::ParseLeadingInt(delay->GetNodeContent()));
    const wxXmlNode* images = ElementNamed(gif->GetNext(), "images");
    if (!images)
        return ReadResult::Stopped;

    if (!images->GetChildren() && callbacks.emptyImages)
        callbacks.emptyImages();
    for (const wxXmlNode* path = ElementNamed(images->GetChildren(), "path"); path;
         path = ElementNamed(path->GetNext(), "path"))
        Deliver<const wxString&>(callbacks.imagePath, path->GetNodeContent());
    return ReadResult::Finished;
}

}  // namespace project_file
