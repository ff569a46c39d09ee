#pragma once
// wxCHECK_MSG with the qualified function name: GCC's __FUNCTION__ lacks the class, and the
// assertion reports of the strip name "Class::Function". Returns `rc` even when assertions are off.

#include <wx/debug.h>

#define wxTHUMBNAIL_CHECK_MSG(cond, rc, func, msg)                   \
    if (cond) {                                                      \
    } else {                                                         \
        wxFAIL_COND_MSG_AT(cond, msg, __FILE__, __LINE__, func);     \
        return rc;                                                   \
    }
