// Reading project files: MB/s of the streaming reader on 100 MB files of the shapes that are hard for a
// parser (one huge attribute, many newlines, many character references, many paths), and, on files
// small enough for it, against the toolkit's tree reader that a user of the toolkit would reach for.
#include "project/project_file.h"

#include <wx/init.h>
#include <wx/log.h>
#include <wx/xml/xml.h>

#include <ctime>
#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

constexpr size_t kMegabyte = 1 << 20;

const char kGif[] = "<gif><width>640</width><height>480</height><delay_time>10</delay_time></gif>";

std::string Repeat(const std::string& piece, size_t bytes) {
    std::string all;
    all.reserve(bytes + piece.size());
    while (all.size() < bytes)
        all += piece;
    return all;
}

// The project files, each about `bytes` long.
struct Shape {
    const char* name;
    std::function<std::string(size_t)> make;
};

const Shape kShapes[] = {
    {"one huge attribute", [](size_t bytes) {
         return "<project note=\"" + std::string(bytes, 'a') + "\"><name>a.gif</name>" + kGif + "<images/></project>";
     }},
    {"newlines", [](size_t bytes) {
         return "<project><name>a" + std::string(bytes, '\n') + "</name>" + kGif + "<images/></project>";
     }},
    {"&amp; references", [](size_t bytes) {
         return "<project><name>" + Repeat("&amp;", bytes) + "</name>" + kGif + "<images/></project>";
     }},
    {"paths", [](size_t bytes) {
         return std::string("<project><name>a.gif</name>") + kGif + "<images>\n" +
                Repeat("    <path>/home/someone/pictures/holiday/frame-000123.png</path>\n", bytes) +
                "</images></project>\n";
     }},
};

// Process CPU seconds: meaningful on a machine shared with other work.
double Seconds(const std::function<void()>& work) {
    const std::clock_t start = std::clock();
    work();
    return double(std::clock() - start) / CLOCKS_PER_SEC;
}

std::string WriteScratch(const std::string& text) {
    const std::string path = "/tmp/bench_project_reader-" + std::to_string(getpid()) + ".xml";
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

}  // namespace

int main() {
    wxInitializer toolkit;
    wxLogNull quiet;
    std::printf("Streaming reader, 100 MB files (read from disc, checked, values built), CPU time:\n");
    for (const Shape& shape : kShapes) {
        const std::string text = shape.make(100 * kMegabyte);
        const std::string path = WriteScratch(text);
        bool ok = false;
        const double seconds = Seconds([&] { ok = project_file::Read(path).ok; });
        std::printf("  %-20s %7.1f MB/s  (%s)\n", shape.name, double(text.size()) / kMegabyte / seconds,
                    ok ? "read" : "refused");
        unlink(path.c_str());
    }
    std::printf("Same shapes at 100 KB, CPU time: streaming reader against the toolkit's tree reader, same run:\n");
    for (const Shape& shape : kShapes) {
        const std::string text = shape.make(100 * 1024);
        const std::string path = WriteScratch(text);
        const double ours = Seconds([&] { project_file::Read(path); });
        const double tree = Seconds([&] {
            wxXmlDocument document;
            document.Load(path, "UTF-8", 0);
        });
        std::printf("  %-20s streaming %8.4f s, tree %8.4f s, tree/streaming %6.0fx\n", shape.name, ours, tree,
                    tree / ours);
        unlink(path.c_str());
    }
    return 0;
}
