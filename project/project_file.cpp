#include "project/project_file.h"

#include "app/replacing_file.h"

#include <wx/intl.h>
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

}  // namespace

wxString FileNamePart(const wxString& path) {
    const size_t separator = path.find_last_of(wxFILE_SEP_PATH);
    return separator == wxString::npos ? path : path.substr(separator + 1);
}

SaveResult Write(ReplacingFile& file, const ProjectContents& contents) {
    wxXmlDocument document;
    BuildDocument(document, contents);
    StringOutputStream buffer;
    if (!document.Save(buffer, 2))
        return {false, wxString::Format(_("\"%s\" could not be written as XML."), file.Target())};
    if (!file.Stream().WriteAll(buffer.Bytes().data(), buffer.Bytes().size()))
        return {false, file.WriteFailure()};
    return {true, wxString()};
}

SaveResult Save(const wxString& path, const ProjectContents& contents) {
    ReplacingFile file;
    wxString reason;
    if (!file.Open(path, reason))
        return {false, reason};
    SaveResult written = Write(file, contents);
    if (written.ok && !file.Commit(written.reason))
        written.ok = false;
    return written;
}

}  // namespace project_file
