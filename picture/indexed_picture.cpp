#include "picture/indexed_picture.h"

#include "window/my_gifhandler/colour_table.h"

IndexedPicture IndexedPicture::FromImage(const wxImage& image) {
    if (!image.IsOk() || image.GetWidth() <= 0 || image.GetHeight() <= 0)
        return {};
    IndexedPicture picture;
    picture.m_width = image.GetWidth();
    picture.m_height = image.GetHeight();
    const size_t count = size_t(picture.m_width) * picture.m_height;
    picture.m_indices.resize(count);
    ColourTable table;
    const unsigned char* rgb = image.GetData();
    for (size_t i = 0; i < count; ++i, rgb += 3) {
        const uint32_t colour = ColourTable::Pack(rgb[0], rgb[1], rgb[2]);
        int index = table.Find(colour);
        if (index < 0) {
            index = table.Count();
            if (!table.Insert(colour, index))
                return {};
            picture.m_colours.insert(picture.m_colours.end(), rgb, rgb + 3);
        }
        picture.m_indices[i] = static_cast<uint8_t>(index);
    }
    picture.m_colours.shrink_to_fit();
    return picture;
}

wxImage IndexedPicture::ToImage() const {
    if (!IsOk())
        return wxImage();
    wxImage image(m_width, m_height, false);
    if (!image.IsOk())
        return image;
    unsigned char* rgb = image.GetData();
    for (const uint8_t index : m_indices) {
        const uint8_t* colour = &m_colours[size_t(index) * 3];
        *rgb++ = colour[0];
        *rgb++ = colour[1];
        *rgb++ = colour[2];
    }
    return image;
}
