#pragma once
// A small picture of at most 256 colours kept as one byte a pixel and its colour list: a quarter of
// what a bitmap of it holds, which is what lets a strip of 100,000 thumbnails fit in memory.

#include <wx/gdicmn.h>
#include <wx/image.h>

#include <cstdint>
#include <vector>

class IndexedPicture {
public:
    IndexedPicture() = default;

    // The picture's pixels as indices into its colours in order of first use; an empty picture when
    // the image is invalid or holds more than 256 colours. Only the RGB bytes count.
    static IndexedPicture FromImage(const wxImage& image);

    // The same pixels as an RGB image; an invalid image when empty.
    wxImage ToImage() const;

    bool IsOk() const { return !m_indices.empty(); }
    wxSize GetSize() const { return wxSize(m_width, m_height); }

private:
    int m_width = 0;
    int m_height = 0;
    std::vector<uint8_t> m_indices;
    std::vector<uint8_t> m_colours;  // red, green, blue of each index
};
