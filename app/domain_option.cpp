#include "app/domain_option.h"

#include "app/xml_nesting.h"

#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/mstream.h>

#include <string>

namespace {
DomainOption* s_domainOption = nullptr;

// The file needs three levels; anything far deeper is no options file.
constexpr size_t kDeepestOptions = 64;

wxString TextOf(const wxXmlNode* element) {
    for (const wxXmlNode* child = element->GetChildren(); child; child = child->GetNext()) {
        if (child->GetType() == wxXML_TEXT_NODE || child->GetType() == wxXML_CDATA_SECTION_NODE)
            return child->GetContent();
    }
    return wxString();
}

const wxXmlNode* FirstElement(const wxXmlNode* node) {
    while (node && node->GetType() != wxXML_ELEMENT_NODE)
        node = node->GetNext();
    return node;
}
}  // namespace

DomainOption* TheDomainOption() { return s_domainOption; }
void SetTheDomainOption(DomainOption* option) { s_domainOption = option; }

DomainOption::DomainOption(const wxString& optionsPath) : m_optionsPath(optionsPath) {}

bool DomainOption::Read() {
    if (!wxFileExists(m_optionsPath))
        return false;
    // Measured before the toolkit builds its recursive tree of it: a deeply nested file would
    // overflow the stack.
    std::string bytes;
    {
        wxFFile file(m_optionsPath, "rb");
        char buffer[16384];
        size_t got = 0;
        while (file.IsOpened() && (got = file.Read(buffer, sizeof buffer)) > 0)
            bytes.append(buffer, got);
    }
    if (!xml_nesting::NestedAtMost(bytes.data(), bytes.size(), kDeepestOptions))
        return false;
    wxMemoryInputStream stream(bytes.data(), bytes.size());
    if (!m_document.Load(stream, "UTF-8") || !m_document.GetRoot())
        return false;
    const wxXmlNode* group = FirstElement(m_document.GetRoot()->GetChildren());
    if (!group)
        return false;

    wxString* const fields[] = {&m_helpPage,      &m_secondEntry, &m_supportPage, &m_fourthEntry,
                                &m_updateDocument, &m_productPage, &m_seventhEntry};
    const wxXmlNode* entry = FirstElement(group->GetChildren());
    for (size_t i = 0; i < WXSIZEOF(fields); ++i) {
        if (!entry)
            return false;
        *fields[i] = TextOf(entry);
        if (fields[i] == &m_updateDocument)
            m_updateDocument += "-update.xml";
        entry = FirstElement(entry->GetNext());
    }
    return true;
}
