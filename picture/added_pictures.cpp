#include "picture/added_pictures.h"

wxImage AddedPictures::Read(size_t index) {
    picture_intake::Outcome outcome = picture_intake::ReadUnchanged(m_files[index].path, m_files[index].stamp);
    if (outcome.Taken())
        return outcome.picture;
    outcome.picture = wxImage();
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_failure.Taken() || index < m_failedIndex) {
        m_failedIndex = index;
        m_failure = outcome;
    }
    return wxImage();
}

bool AddedPictures::Failed() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return !m_failure.Taken();
}

wxString AddedPictures::FailureText() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_failure.Taken())
        return wxString();
    return m_files[m_failedIndex].path + ": " + picture_intake::ReasonText(m_failure);
}
