#pragma once
// The order people expect of file names: "frame2" before "frame10", letters without regard to case,
// runs of digits compared as numbers of any length. It is the same in every locale, so the window and
// quintrel-gif put the same files in the same order and write the same GIF.

#include <wx/arrstr.h>
#include <wx/string.h>

#include <vector>

namespace natural_order {

// A strict weak order in which two texts are equivalent only when they are equal. Only ASCII digits
// form numbers; "/" comes before every other character, so a folder's files come before its
// neighbours whose names merely begin like it. Letters compare by their lower case (any script), and
// names that differ only in case or leading zeros are then ordered by their characters.
bool Less(const wxString& a, const wxString& b);

void Sort(std::vector<wxString>& texts);
void Sort(wxArrayString& texts);

}  // namespace natural_order
