#pragma once
// The web addresses of the options file "option.cfg", read once at start-up.

#include <wx/string.h>
#include <wx/xml/xml.h>

class DomainOption {
public:
    explicit DomainOption(const wxString& optionsPath);
    virtual ~DomainOption() = default;

    // Fills the entries by position; false when the file is missing, malformed or has fewer than seven.
    bool Read();

    const wxString& OptionsPath() const { return m_optionsPath; }
    const wxString& HelpPage() const { return m_helpPage; }
    const wxString& SecondEntry() const { return m_secondEntry; }
    const wxString& SupportPage() const { return m_supportPage; }
    const wxString& FourthEntry() const { return m_fourthEntry; }
    const wxString& UpdateDocument() const { return m_updateDocument; }
    const wxString& ProductPage() const { return m_productPage; }
    const wxString& SeventhEntry() const { return m_seventhEntry; }

private:
    wxString m_optionsPath;
    wxXmlDocument m_document;
    wxString m_helpPage;
    wxString m_secondEntry;
    wxString m_supportPage;
    wxString m_fourthEntry;
    wxString m_updateDocument;
    wxString m_productPage;
    wxString m_seventhEntry;
};

// The one record of the process; owned by the application object, null outside its lifetime.
DomainOption* TheDomainOption();
void SetTheDomainOption(DomainOption* option);
