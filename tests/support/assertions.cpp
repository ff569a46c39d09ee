#include "tests/support/assertions.h"

#include <wx/debug.h>
#include <wx/string.h>

#include <gtest/gtest.h>

namespace {
ExpectAssertions* s_expecting = nullptr;

void OnAssert(const wxString& file, int line, const wxString& func, const wxString& cond, const wxString& msg) {
    RecordedAssertion recorded{cond.ToStdString(), func.ToStdString(), msg.ToStdString()};
    if (s_expecting) {
        RecordAssertion(recorded);
        return;
    }
    ADD_FAILURE_AT(file.ToStdString().c_str(), line)
        << "toolkit assertion \"" << recorded.condition << "\" in " << recorded.function << ": " << recorded.message;
}
}  // namespace

void RecordAssertion(const RecordedAssertion& assertion) { s_expecting->m_recorded.push_back(assertion); }

ExpectAssertions::ExpectAssertions() { s_expecting = this; }
ExpectAssertions::~ExpectAssertions() { s_expecting = nullptr; }

void InstallAssertionHandler() { wxSetAssertHandler(OnAssert); }
