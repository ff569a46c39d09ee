#pragma once
// The toolkit's XML tree is built and destroyed recursively, so a document nested tens of thousands of
// levels deep overflows the stack. Documents from outside are measured with a streaming parser first.

#include <cstddef>

namespace xml_nesting {

// False when the bytes open elements more than `deepest` levels deep (closed or not); well-formedness
// is not judged here.
bool NestedAtMost(const char* bytes, size_t size, size_t deepest);

}  // namespace xml_nesting
