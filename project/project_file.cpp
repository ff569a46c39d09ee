#include "project/project_file.h"

#include "app/paths.h"
#include "app/replacing_file.h"

#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/stream.h>
#include <wx/xml/xml.h>

#include <memory>
#include <string>

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
    if (contents.level != 0)
        AppendText(AppendElement(gif, "export_level"), wxString::Format("%d", contents.level));
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
        return {false, wxString::Format(_("\"%s\" could not be written as XML."), path)};
    ReplacingFile file;
    wxString reason;
    if (!file.Open(path, reason))
        return {false, reason};
    if (!file.Stream().WriteAll(buffer.Bytes().data(), buffer.Bytes().size()))
        return {false, file.WriteFailure()};
    if (!file.Commit(reason))
        return {false, reason};
    return {true, wxString()};
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
    if (const wxXmlNode* level = ElementNamed(delay->GetNext(), "export_level")) {
        const int value = paths::ParseLeadingInt(level->GetNodeContent());
        Deliver(callbacks.level, value >= 0 && value <= 2 ? value : 0);
    }
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
