#include "app/replacing_file.h"

#include <wx/filename.h>
#include <wx/intl.h>
#include <wx/log.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class ReplacingFile::DescriptorStream : public wxOutputStream {
public:
    explicit DescriptorStream(int fd) : m_fd(fd) {}
    ~DescriptorStream() override { CloseDescriptor(); }

    int Descriptor() const { return m_fd; }
    int LastError() const { return m_error; }

    bool CloseDescriptor() {
        if (m_fd < 0)
            return true;
        const bool closed = close(m_fd) == 0;
        if (!closed)
            m_error = errno;
        m_fd = -1;
        return closed;
    }

protected:
    size_t OnSysWrite(const void* data, size_t size) override {
        const char* bytes = static_cast<const char*>(data);
        size_t done = 0;
        while (done < size) {
            const ssize_t written = write(m_fd, bytes + done, size - done);
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                m_error = written < 0 ? errno : 0;
                m_lasterror = wxSTREAM_WRITE_ERROR;
                break;
            }
            done += static_cast<size_t>(written);
        }
        return done;
    }

private:
    int m_fd;
    int m_error = 0;
};

namespace {

// Temporary files are hidden and say whose they are: ".<target>.quintrel-<pid>[-<n>].tmp".
constexpr char kMark[] = ".quintrel-";
constexpr char kEnding[] = ".tmp";
// Leaves room for the mark in a file name of at most 255 bytes.
constexpr size_t kLongestNamePart = 200;

std::string TemporaryName(const std::string& folder, const std::string& name, unsigned attempt) {
    std::string temporary = folder + "/." + name.substr(0, kLongestNamePart) + kMark + std::to_string(getpid());
    if (attempt > 0)
        temporary += "-" + std::to_string(attempt);
    return temporary + kEnding;
}

// The process that made a temporary file of ours, from its name; 0 when the name is not one of ours.
pid_t OwnerOf(const std::string& name) {
    const size_t mark = name.rfind(kMark);
    const size_t endingLength = sizeof kEnding - 1;
    if (name.empty() || name[0] != '.' || mark == std::string::npos || name.size() < endingLength ||
        name.compare(name.size() - endingLength, endingLength, kEnding) != 0)
        return 0;
    const std::string middle = name.substr(mark + sizeof kMark - 1, name.size() - endingLength - mark - (sizeof kMark - 1));
    const size_t dash = middle.find('-');
    const std::string pid = middle.substr(0, dash);
    const std::string attempt = dash == std::string::npos ? "1" : middle.substr(dash + 1);
    const auto digits = [](const std::string& text) {
        return !text.empty() && text.size() <= 9 && text.find_first_not_of("0123456789") == std::string::npos;
    };
    return digits(pid) && digits(attempt) ? static_cast<pid_t>(std::stol(pid)) : 0;
}

// Removes the temporary files that processes killed while saving left in the folder: ours by name and
// owner, and their process gone.
void RemoveStaleTemporaries(const std::string& folder) {
    struct DirectoryCloser {
        void operator()(DIR* directory) const { closedir(directory); }
    };
    std::unique_ptr<DIR, DirectoryCloser> directory(opendir(folder.c_str()));
    if (!directory)
        return;
    while (const dirent* entry = readdir(directory.get())) {
        const pid_t owner = OwnerOf(entry->d_name);
        if (owner <= 0 || owner == getpid() || kill(owner, 0) == 0 || errno != ESRCH)
            continue;
        struct stat status {};
        if (fstatat(dirfd(directory.get()), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_uid == getuid())
            unlinkat(dirfd(directory.get()), entry->d_name, 0);
    }
}

}  // namespace

ReplacingFile::ReplacingFile() = default;

ReplacingFile::~ReplacingFile() {
    m_stream.reset();
    if (!m_temporary.empty())
        unlink(m_temporary.c_str());
}

bool ReplacingFile::Open(const wxString& target, wxString& reason) {
    m_target = target;
    m_realTarget = std::string(target.fn_str());
    if (m_realTarget.empty()) {
        reason = _("No file name was given.");
        return false;
    }
    struct stat status {};
    if (lstat(m_realTarget.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        std::unique_ptr<char, decltype(&free)> resolved(realpath(m_realTarget.c_str(), nullptr), &free);
        if (resolved)
            m_realTarget = resolved.get();
    }
    m_replacing = stat(m_realTarget.c_str(), &status) == 0;
    if (m_replacing) {
        if (S_ISDIR(status.st_mode)) {
            reason = wxString::Format(_("\"%s\" is a folder."), target);
            return false;
        }
        if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || access(m_realTarget.c_str(), W_OK) != 0) {
            reason = wxString::Format(_("\"%s\" is read-only."), target);
            return false;
        }
        m_mode = status.st_mode & 07777;
    }
    const size_t separator = m_realTarget.rfind('/');
    const std::string folder = separator == std::string::npos ? "." : m_realTarget.substr(0, separator);
    const std::string name = separator == std::string::npos ? m_realTarget : m_realTarget.substr(separator + 1);
    RemoveStaleTemporaries(folder.empty() ? "/" : folder);
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        const std::string temporary = TemporaryName(folder, name, attempt);
        // A new file's mode goes through the umask as for any file the user creates.
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, m_replacing ? 0600 : 0666);
        if (fd >= 0) {
            m_temporary = temporary;
            m_stream = std::make_unique<DescriptorStream>(fd);
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    const wxString shownFolder = wxFileName(target).GetPath();
    reason = wxString::Format(_("Cannot create a file in \"%s\": %s"), shownFolder.empty() ? wxString(".") : shownFolder,
                              wxSysErrorMsgStr(errno));
    return false;
}

wxOutputStream& ReplacingFile::Stream() { return *m_stream; }

wxString ReplacingFile::WriteFailure() const {
    const int error = m_stream ? m_stream->LastError() : 0;
    // A write that stops short without an error code means the disc is full.
    if (error == 0 || error == ENOSPC)
        return wxString::Format(_("Cannot write \"%s\": the disc is full."), m_target);
    return wxString::Format(_("Cannot write \"%s\": %s"), m_target, wxSysErrorMsgStr(error));
}

bool ReplacingFile::Commit(wxString& reason) {
    if (!m_stream || !m_stream->IsOk()) {
        reason = WriteFailure();
        return false;
    }
    const int fd = m_stream->Descriptor();
    if ((m_replacing && fchmod(fd, m_mode) != 0) || fsync(fd) != 0 || !m_stream->CloseDescriptor()) {
        reason = wxString::Format(_("Cannot write \"%s\": %s"), m_target, wxSysErrorMsgStr(errno));
        return false;
    }
    if (rename(m_temporary.c_str(), m_realTarget.c_str()) != 0) {
        reason = wxString::Format(_("Cannot replace \"%s\": %s"), m_target, wxSysErrorMsgStr(errno));
        return false;
    }
    m_temporary.clear();
    return true;
}
