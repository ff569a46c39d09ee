#include "tests/support/assertions.h"

#include <wx/debug.h>
#include <wx/string.h>

#include <gtest/gtest.h>

static ExpectAssertions* s_expecting = nullptr;

static void OnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
    const std::string assertion = (cond + " in " + func + ": " + msg).utf8_string();
    if (s_expecting)
        s_expecting->Record(assertion);
    else
        ADD_FAILURE_AT(file.utf8_string().c_str(), line) << "toolkit assertion " << assertion;
}

ExpectAssertions::ExpectAssertions() { s_expecting = this; }
ExpectAssertions::~ExpectAssertions() { s_expecting = nullptr; }

void InstallAssertionHandler() { wxSetAssertHandler(OnAssert); }
