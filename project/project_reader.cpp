// Reading a project file. The file is handed to us from anywhere, so it is parsed as a stream (no
// document tree, no recursion), refused when nested deeper than the format allows, and checked
// completely before anything is handed to the caller.
#include "project/project_file.h"

#include "app/descriptor.h"
#include "app/paths.h"

#include <wx/intl.h>
#include <wx/log.h>

#include <expat.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace project_file {
namespace {

// The format needs three levels (project, gif, width); extras inside value elements are allowed
// and ignored, a few levels of them.
constexpr size_t kDeepestLevel = 8;
// Far beyond any project the program writes (a million frames), small enough to read at once.
constexpr size_t kLargestFileBytes = size_t(256) << 20;

constexpr int kLargestValue = 65535;  // the GIF format keeps sizes and delays in 16 bits

enum class Element { Document, Project, Name, Gif, Width, Height, Delay, Level, Images, Path, Ignored };

bool HoldsValue(Element kind) {
    return kind == Element::Name || kind == Element::Width || kind == Element::Height || kind == Element::Delay ||
           kind == Element::Level || kind == Element::Path;
}

bool IsBlank(const char* text, int length) {
    for (int i = 0; i < length; ++i)
        if (text[i] != ' ' && text[i] != '\t' && text[i] != '\n' && text[i] != '\r')
            return false;
    return true;
}

struct ParserDeleter {
    void operator()(XML_Parser parser) const { XML_ParserFree(parser); }
};

// Follows the document event by event and keeps only the values; the checks are those of the format:
// "project" first, then "name", "gif" (width, height, delay_time) and "images" in that order, text
// being an element's first text or CDATA child, and the image list being the run of "path" elements
// that "images" starts with.
class ProjectParser {
public:
    explicit ProjectParser(const wxString& fileName) : m_fileName(fileName) {}

    ReadResult Parse(const char* bytes, size_t size) {
        std::unique_ptr<XML_ParserStruct, ParserDeleter> parser(XML_ParserCreate(nullptr));
        if (!parser)
            return Refused(wxString::Format(_("\"%s\" cannot be read: not enough memory."), m_fileName));
        m_parser = parser.get();
        XML_SetUserData(m_parser, this);
        XML_SetElementHandler(m_parser, OnStart, OnEnd);
        XML_SetCharacterDataHandler(m_parser, OnCharacters);
        XML_SetCdataSectionHandler(m_parser, OnCdataStart, OnCdataEnd);
        XML_SetCommentHandler(m_parser, OnComment);
        XML_SetProcessingInstructionHandler(m_parser, OnInstruction);
        // Entities are never expanded: a declaration, or a reference the parser would have to skip,
        // ends the read.
        XML_SetEntityDeclHandler(m_parser, OnEntityDeclaration);
        XML_SetSkippedEntityHandler(m_parser, OnSkippedEntity);
        XML_SetParamEntityParsing(m_parser, XML_PARAM_ENTITY_PARSING_NEVER);
        m_levels.emplace_back(Element::Document);

        if (XML_Parse(m_parser, bytes, static_cast<int>(size), XML_TRUE) != XML_STATUS_OK && m_reason.empty())
            m_reason = wxString::Format(_("\"%s\" is not a readable XML file: %s (line %lu)."), m_fileName,
                                        XML_ErrorString(XML_GetErrorCode(m_parser)),
                                        static_cast<unsigned long>(XML_GetCurrentLineNumber(m_parser)));
        if (!m_reason.empty())
            return Refused(m_reason);
        return Checked();
    }

private:
    struct Level {
        explicit Level(Element element) : kind(element) {}
        Element kind;
        int nodes = 0;           // children so far: elements, CDATA, comments, instructions, text that is not blank
        bool textTaken = false;  // value elements: the first text child has been read into `text`
        std::string text;
    };

    // Once stopped, the parser may still report the event it was in; nothing more is looked at.
    static ProjectParser* Running(void* self) {
        auto* parser = static_cast<ProjectParser*>(self);
        return parser->m_stopped ? nullptr : parser;
    }

    static void XMLCALL OnStart(void* self, const XML_Char* name, const XML_Char**) {
        if (ProjectParser* parser = Running(self))
            parser->Start(name);
    }
    static void XMLCALL OnEnd(void* self, const XML_Char*) {
        if (ProjectParser* parser = Running(self))
            parser->End();
    }
    static void XMLCALL OnCharacters(void* self, const XML_Char* text, int length) {
        if (ProjectParser* parser = Running(self))
            parser->Characters(text, length);
    }
    static void XMLCALL OnCdataStart(void* self) {
        if (ProjectParser* parser = Running(self))
            parser->CdataStart();
    }
    static void XMLCALL OnCdataEnd(void* self) {
        if (ProjectParser* parser = Running(self))
            parser->CdataEnd();
    }
    static void XMLCALL OnComment(void* self, const XML_Char*) {
        if (ProjectParser* parser = Running(self))
            parser->OtherNode();
    }
    static void XMLCALL OnInstruction(void* self, const XML_Char*, const XML_Char*) {
        if (ProjectParser* parser = Running(self))
            parser->OtherNode();
    }
    static void XMLCALL OnEntityDeclaration(void* self, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                            const XML_Char*, const XML_Char*, const XML_Char*) {
        static_cast<ProjectParser*>(self)->RefuseEntities();
    }
    static void XMLCALL OnSkippedEntity(void* self, const XML_Char*, int) {
        static_cast<ProjectParser*>(self)->RefuseEntities();
    }

    void Start(const char* name) {
        EndTextRun();
        if (m_levels.size() > kDeepestLevel) {
            Stop(wxString::Format(_("\"%s\" is nested deeper than a project file can be (%d levels)."), m_fileName,
                                  static_cast<int>(kDeepestLevel)));
            return;
        }
        const Element kind = Child(name);
        if (m_stopped)
            return;
        m_levels.emplace_back(kind);
    }

    void End() {
        EndTextRun();
        Level done = std::move(m_levels.back());
        m_levels.pop_back();
        switch (done.kind) {
        case Element::Project:
            if (done.nodes < 3)
                Misshapen(done.nodes == 0 ? "name" : done.nodes == 1 ? "gif" : "images");
            break;
        case Element::Gif:
            if (done.nodes < 3)
                Misshapen(done.nodes == 0 ? "width" : done.nodes == 1 ? "height" : "delay_time");
            break;
        case Element::Name: m_values.name = std::move(done.text); break;
        case Element::Width: m_values.width = std::move(done.text); break;
        case Element::Height: m_values.height = std::move(done.text); break;
        case Element::Delay: m_values.delay = std::move(done.text); break;
        case Element::Level: m_values.level = std::move(done.text); break;
        case Element::Path: m_values.paths.push_back(wxString::FromUTF8(done.text.data(), done.text.size())); break;
        default: break;
        }
    }

    void Characters(const char* text, int length) {
        Level& level = m_levels.back();
        if (m_inCdata) {
            if (m_cdataIsText)
                level.text.append(text, length);
            return;
        }
        m_inTextRun = true;
        m_textRunBlank = m_textRunBlank && IsBlank(text, length);
        if (HoldsValue(level.kind) && !level.textTaken)
            level.text.append(text, length);
    }

    // A run of text ends at the next markup. Blank runs are no nodes at all.
    void EndTextRun() {
        if (!m_inTextRun)
            return;
        const bool blank = m_textRunBlank;
        m_inTextRun = false;
        m_textRunBlank = true;
        Level& level = m_levels.back();
        if (HoldsValue(level.kind)) {
            if (blank && !level.textTaken)
                level.text.clear();
            else
                level.textTaken = true;
        } else if (!blank) {
            Child(nullptr);
        }
    }

    void CdataStart() {
        EndTextRun();
        Level& level = m_levels.back();
        m_inCdata = true;
        m_cdataIsText = HoldsValue(level.kind) && !level.textTaken;
        if (!HoldsValue(level.kind))
            Child(nullptr);
    }

    void CdataEnd() {
        if (m_cdataIsText)
            m_levels.back().textTaken = true;
        m_inCdata = false;
        m_cdataIsText = false;
    }

    void OtherNode() {
        EndTextRun();
        if (!HoldsValue(m_levels.back().kind))
            Child(nullptr);
    }

    // Counts a child node of the innermost open element (`name` is null for nodes that are no
    // elements) and checks it against the format; returns what an element there is.
    Element Child(const char* name) {
        Level& parent = m_levels.back();
        const int index = parent.nodes++;
        const auto expect = [&](const char* wanted, Element kind) {
            if (name && std::strcmp(name, wanted) == 0)
                return kind;
            Misshapen(wanted);
            return Element::Ignored;
        };
        switch (parent.kind) {
        case Element::Document:
            return index == 0 ? expect("project", Element::Project) : Element::Ignored;
        case Element::Project:
            if (index == 0)
                return expect("name", Element::Name);
            if (index == 1)
                return expect("gif", Element::Gif);
            return index == 2 ? expect("images", Element::Images) : Element::Ignored;
        case Element::Gif:
            if (index == 0)
                return expect("width", Element::Width);
            if (index == 1)
                return expect("height", Element::Height);
            if (index == 2)
                return expect("delay_time", Element::Delay);
            // The export level, stored only when not exact; anything else after the delay is ignored.
            return index == 3 && name && std::strcmp(name, "export_level") == 0 ? Element::Level : Element::Ignored;
        case Element::Images:
            m_values.imagesListed = true;
            if (m_inPathRun && name && std::strcmp(name, "path") == 0)
                return Element::Path;
            m_inPathRun = false;  // the list ends at the first child that is not a "path"
            return Element::Ignored;
        default:
            return Element::Ignored;
        }
    }

    void Misshapen(const char* expected) {
        Stop(wxString::Format(_("\"%s\" is not a project file: <%s> is missing or out of place."), m_fileName,
                              expected));
    }

    void RefuseEntities() {
        Stop(wxString::Format(_("\"%s\" declares or uses entities, which project files never do."), m_fileName));
    }

    void Stop(const wxString& reason) {
        if (m_stopped)
            return;
        m_stopped = true;
        m_reason = reason;
        XML_StopParser(m_parser, XML_FALSE);
    }

    ReadResult Refused(const wxString& reason) const {
        ReadResult result;
        result.reason = reason;
        return result;
    }

    // The value of a number element when it lies in the range, else a reason naming element and text.
    bool TakeNumber(const char* element, const std::string& text, int smallest, int& value, wxString& reason) const {
        const wxString number = wxString::FromUTF8(text.data(), text.size());
        value = paths::ParseLeadingInt(number);
        if (value >= smallest && value <= kLargestValue)
            return true;
        // Enough of the text to recognise it, not a page of it.
        const wxString shown = wxString(number).Strip(wxString::both).Left(40);
        reason = wxString::Format(_("\"%s\" cannot be used: <%s> is \"%s\", outside %d to %d."), m_fileName, element,
                                  shown, smallest, kLargestValue);
        return false;
    }

    ReadResult Checked() {
        ReadResult result;
        ProjectContents& contents = result.contents;
        if (!TakeNumber("width", m_values.width, 1, contents.width, result.reason) ||
            !TakeNumber("height", m_values.height, 1, contents.height, result.reason) ||
            !TakeNumber("delay_time", m_values.delay, 0, contents.delay, result.reason))
            return result;
        // A level this program does not know is read as the exact one.
        const int level = paths::ParseLeadingInt(wxString::FromUTF8(m_values.level.data(), m_values.level.size()));
        contents.level = level >= 0 && level <= 2 ? level : 0;
        contents.gifPath = wxString::FromUTF8(m_values.name.data(), m_values.name.size());
        // The GIF is written beside the project under this name, so it may not lead anywhere else.
        if (contents.gifPath.find('/') != wxString::npos) {
            result.reason = wxString::Format(
                _("\"%s\" cannot be used: the GIF name \"%s\" contains a folder; it must be a file name alone."),
                m_fileName, contents.gifPath);
            return result;
        }
        contents.imagePaths = std::move(m_values.paths);
        result.listsNoImage = !m_values.imagesListed;
        result.ok = true;
        return result;
    }

    struct Values {
        std::string name, width, height, delay, level;
        std::vector<wxString> paths;
        bool imagesListed = false;  // "images" has at least one child
    };

    const wxString m_fileName;
    XML_Parser m_parser = nullptr;
    std::vector<Level> m_levels;  // open elements, at most kDeepestLevel deep
    Values m_values;
    bool m_inTextRun = false;
    bool m_textRunBlank = true;
    bool m_inCdata = false;
    bool m_cdataIsText = false;
    bool m_inPathRun = true;
    bool m_stopped = false;
    wxString m_reason;
};

}  // namespace

ReadResult ReadBytes(const char* bytes, size_t size, const wxString& fileName) {
    if (size > kLargestFileBytes) {
        ReadResult result;
        result.reason = wxString::Format(_("\"%s\" is too large for a project file."), fileName);
        return result;
    }
    return ProjectParser(fileName).Parse(bytes, size);
}

ReadResult Read(const wxString& path) {
    ReadResult result;
    // Not blocking: opening a named pipe would otherwise wait for a writer before it can be refused.
    const Descriptor file(open(path.fn_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat status {};
    if (file.Get() < 0 || fstat(file.Get(), &status) != 0) {
        result.reason = wxString::Format(_("\"%s\" cannot be read: %s"), path, wxSysErrorMsgStr(errno));
        return result;
    }
    if (S_ISDIR(status.st_mode)) {
        result.reason = wxString::Format(_("\"%s\" is a folder."), path);
        return result;
    }
    if (!S_ISREG(status.st_mode)) {
        result.reason = wxString::Format(_("\"%s\" is not a file."), path);
        return result;
    }
    if (size_t(status.st_size) > kLargestFileBytes)
        return ReadBytes(nullptr, size_t(status.st_size), path);
    std::string bytes;
    try {
        bytes.resize(size_t(status.st_size));
    } catch (const std::bad_alloc&) {
        result.reason = wxString::Format(_("\"%s\" cannot be read: not enough memory."), path);
        return result;
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = read(file.Get(), bytes.data() + done, bytes.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            result.reason = wxString::Format(_("\"%s\" cannot be read: %s"), path, wxSysErrorMsgStr(errno));
            return result;
        }
        if (got == 0)
            break;  // shrank meanwhile: what is there is parsed
        done += size_t(got);
    }
    bytes.resize(done);
    return ReadBytes(bytes.data(), bytes.size(), path);
}

}  // namespace project_file
