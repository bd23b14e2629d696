#include "shell/ShowFile.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

// toml11 reports through exceptions; they are caught in this file and become the
// one-line messages the rest of the program passes on.
#include <toml.hpp>

#include "core/DataPath.h"
#include "scene/SceneTable.h"
#include "shell/ScenePreview.h"

namespace {

const char* const kPolygonClass = "SceneRaytracerPolygons";
const int kMaxSide = 16384;
const int kMaxReflections = 16;
const int kMaxFramesPerBeat = 1000;
const double kMaxBeatsPerMinute = 1000;

// The first line of a toml11 message, without its "[error] " and "toml::function: "
// prefixes, which mean nothing to the person who wrote the file.
std::string firstLineOf(const char* what) {
    std::string line(what);
    line = line.substr(0, line.find('\n'));
    const std::string tag = "[error] ";
    if (line.compare(0, tag.size(), tag) == 0)
        line.erase(0, tag.size());
    if (line.compare(0, 6, "toml::") == 0) {
        size_t colon = line.find(": ");
        if (colon != std::string::npos)
            line.erase(0, colon + 2);
    }
    while (!line.empty() && line.back() == ' ')
        line.pop_back();
    return line;
}

std::string beatText(float beat) {
    char text[32];
    snprintf(text, sizeof text, "%g", beat);
    return text;
}

bool fileExists(const std::string& name) {
    struct stat info;
    std::string path = dataPath(name.c_str());
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Checks one parsed document into a ShowFile; the first problem ends the reading.
class ShowReader {
  public:
    ShowReader(const std::string& path, ShowFile& show) : path(path), show(show) {}

    bool read(const toml::value& root);
    const std::string& error() const { return message; }

  private:
    bool fail(const toml::value& at, const std::string& what) {
        message = path + ":" + std::to_string(at.location().line()) + ": " + what;
        return false;
    }
    bool onlyKeys(const toml::value& table, const char* where, std::initializer_list<const char*> known);
    bool number(const toml::value& table, const char* key, double* out);
    bool whole(const toml::value& table, const char* key, long low, long high, int* out);
    bool text(const toml::value& table, const char* key, std::string* out);
    bool scene(const toml::value& table);
    bool polygonValues(const toml::value& table, ShowScene& scene);
    bool entry(const toml::value& table);
    bool arrayOfTables(const toml::value& root, const char* key, const char* example,
                       const toml::array** out);

    std::string path;
    ShowFile& show;
    std::string message;
};

bool ShowReader::onlyKeys(const toml::value& table, const char* where,
                          std::initializer_list<const char*> known) {
    for (const auto& item : table.as_table()) {
        bool found = false;
        std::string list;
        for (const char* key : known) {
            found = found || item.first == key;
            list += std::string(list.empty() ? "" : ", ") + key;
        }
        if (!found)
            return fail(item.second,
                        "unknown key \"" + item.first + "\" " + where + " (known: " + list + ")");
    }
    return true;
}

bool ShowReader::number(const toml::value& table, const char* key, double* out) {
    const toml::value& v = table.as_table().at(key);
    if (v.is_integer())
        *out = (double)v.as_integer();
    else if (v.is_floating() && std::isfinite(v.as_floating()))
        *out = v.as_floating();
    else
        return fail(v, std::string(key) + " needs a number");
    return true;
}

bool ShowReader::whole(const toml::value& table, const char* key, long low, long high, int* out) {
    const toml::value& v = table.as_table().at(key);
    if (!v.is_integer() || v.as_integer() < low || v.as_integer() > high)
        return fail(v, std::string(key) + " needs a whole number from " + std::to_string(low) + " to " +
                           std::to_string(high));
    *out = (int)v.as_integer();
    return true;
}

bool ShowReader::text(const toml::value& table, const char* key, std::string* out) {
    const toml::value& v = table.as_table().at(key);
    if (!v.is_string())
        return fail(v, std::string(key) + " needs a string in quotes");
    *out = v.as_string().str;
    return true;
}

bool ShowReader::arrayOfTables(const toml::value& root, const char* key, const char* example,
                               const toml::array** out) {
    const auto& top = root.as_table();
    auto found = top.find(key);
    if (found == top.end()) {
        message = path + ":1: the show has no " + key + " (" + example + ")";
        return false;
    }
    const toml::value& v = found->second;
    if (!v.is_array() || v.as_array().empty())
        return fail(v, std::string(key) + " needs at least one table: " + example);
    for (const toml::value& item : v.as_array())
        if (!item.is_table())
            return fail(item, std::string(key) + " holds tables: " + example);
    *out = &v.as_array();
    return true;
}

bool ShowReader::read(const toml::value& root) {
    if (!onlyKeys(root, "at the top of the show", {"music", "bpm", "beat_offset", "timeline", "scene"}))
        return false;
    const auto& top = root.as_table();
    for (const char* required : {"music", "bpm"})
        if (!top.count(required)) {
            message = path + ":1: the show needs " + required + " at its top";
            return false;
        }
    if (!text(root, "music", &show.music))
        return false;
    if (!fileExists(show.music))
        return fail(top.at("music"),
                    "no music file \"" + show.music + "\" (relative to the working directory)");
    if (!number(root, "bpm", &show.tempo.beatsPerMinute))
        return false;
    if (show.tempo.beatsPerMinute <= 0 || show.tempo.beatsPerMinute > kMaxBeatsPerMinute)
        return fail(top.at("bpm"), "bpm needs beats per minute above 0, at most 1000");
    show.tempo.beatOffset = 0;
    if (top.count("beat_offset") && !number(root, "beat_offset", &show.tempo.beatOffset))
        return false;

    const toml::array* scenes = nullptr;
    if (!arrayOfTables(root, "scene", "[[scene]] with slot and class", &scenes))
        return false;
    for (const toml::value& table : *scenes)
        if (!scene(table))
            return false;
    const toml::array* entries = nullptr;
    if (!arrayOfTables(root, "timeline", "timeline = [{ beat = 0, slot = 1 }]", &entries))
        return false;
    for (const toml::value& table : *entries)
        if (!entry(table))
            return false;
    return true;
}

bool ShowReader::scene(const toml::value& table) {
    if (!onlyKeys(table, "in a [[scene]]",
                  {"slot", "class", "arg", "dof", "render_width", "render_height", "reflections",
                   "frames_per_beat"}))
        return false;
    const auto& keys = table.as_table();
    if (!keys.count("slot") || !keys.count("class"))
        return fail(table, "a [[scene]] needs a slot and a class");
    ShowScene s;
    s.line = (int)table.location().line();
    if (!whole(table, "slot", 1, SceneTable::kSlots, &s.slot) || !text(table, "class", &s.className))
        return false;
    if (show.sceneInSlot(s.slot))
        return fail(keys.at("slot"), "slot " + std::to_string(s.slot) + " already has a scene (line " +
                                         std::to_string(show.sceneInSlot(s.slot)->line) + ")");
    const PreviewClass* c = findPreviewClass(s.className);
    if (!c)
        return fail(keys.at("class"),
                    "unknown class \"" + s.className + "\" (classes: " + previewClassList() + ")");
    s.argumentGiven = keys.count("arg") != 0;
    if (s.argumentGiven) {
        // A number may be written bare (arg = 1) or as --scene writes it ("1").
        const toml::value& arg = keys.at("arg");
        if (arg.is_integer())
            s.argument = std::to_string(arg.as_integer());
        else if (!text(table, "arg", &s.argument))
            return false;
    }
    std::string complaint = checkPreviewArgument(*c, s.argument, s.argumentGiven);
    const toml::value& where = s.argumentGiven ? keys.at("arg") : table;
    if (!complaint.empty())
        return fail(where, complaint);
    if (c->argument == PreviewArgument::RequiredFile && !fileExists(s.argument))
        return fail(where, "no file \"" + s.argument + "\" (relative to the working directory)");
    if (!polygonValues(table, s))
        return false;
    show.scenes.push_back(s);
    return true;
}

bool ShowReader::polygonValues(const toml::value& table, ShowScene& s) {
    const auto& keys = table.as_table();
    bool polygon = s.className == kPolygonClass;
    for (const char* key : {"dof", "render_width", "render_height", "reflections", "frames_per_beat"})
        if (keys.count(key) && !polygon)
            return fail(keys.at(key), std::string(key) + " is for " + kPolygonClass + " only");
    if (keys.count("dof")) {
        double dof = 0;
        if (!number(table, "dof", &dof))
            return false;
        if (dof < 0)
            return fail(keys.at("dof"), "dof needs 0 (none) or more");
        s.dofStrength = (float)dof;
    }
    return (!keys.count("render_width") || whole(table, "render_width", 1, kMaxSide, &s.renderWidth)) &&
           (!keys.count("render_height") || whole(table, "render_height", 1, kMaxSide, &s.renderHeight)) &&
           (!keys.count("reflections") ||
            whole(table, "reflections", 0, kMaxReflections, &s.numReflections)) &&
           (!keys.count("frames_per_beat") ||
            whole(table, "frames_per_beat", 1, kMaxFramesPerBeat, &s.framesPerBeat));
}

bool ShowReader::entry(const toml::value& table) {
    if (!onlyKeys(table, "in a timeline entry", {"beat", "slot"}))
        return false;
    const auto& keys = table.as_table();
    if (!keys.count("beat") || !keys.count("slot"))
        return fail(table, "a timeline entry needs a beat and a slot: { beat = 0, slot = 1 }");
    ShowEntry e;
    e.line = (int)table.location().line();
    double beat = 0;
    if (!number(table, "beat", &beat) || !whole(table, "slot", 1, SceneTable::kSlots, &e.slot))
        return false;
    e.startBeat = (float)beat;
    if (!show.timeline.empty() && e.startBeat <= show.timeline.back().startBeat)
        return fail(keys.at("beat"), "the timeline is not in order: beat " + beatText(e.startBeat) +
                                         " does not come after beat " +
                                         beatText(show.timeline.back().startBeat) + " (line " +
                                         std::to_string(show.timeline.back().line) + ")");
    if (!show.sceneInSlot(e.slot))
        return fail(keys.at("slot"), "slot " + std::to_string(e.slot) + " has no [[scene]]");
    show.timeline.push_back(e);
    return true;
}

} // namespace

bool ShowScene::sameScene(const ShowScene& o) const {
    return slot == o.slot && className == o.className && argument == o.argument &&
           argumentGiven == o.argumentGiven && dofStrength == o.dofStrength && renderWidth == o.renderWidth &&
           renderHeight == o.renderHeight && numReflections == o.numReflections &&
           framesPerBeat == o.framesPerBeat;
}

const ShowScene* ShowFile::sceneInSlot(int slot) const {
    for (const ShowScene& s : scenes)
        if (s.slot == slot)
            return &s;
    return nullptr;
}

float ShowFile::endBeat() const {
    return (timeline.empty() ? 0.0f : timeline.back().startBeat) + 64.0f;
}

bool readShowFile(const std::string& path, ShowFile* show, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        *error = path + ": cannot read the show file: " + strerror(errno);
        return false;
    }
    ShowFile read;
    read.path = path;
    ShowReader reader(path, read);
    try {
        toml::value root = toml::parse(in, path);
        if (!reader.read(root)) {
            *error = reader.error();
            return false;
        }
    } catch (const toml::exception& e) {
        *error = path + ":" + std::to_string(e.location().line()) + ": " + firstLineOf(e.what());
        return false;
    } catch (const std::exception& e) {
        *error = path + ":1: " + firstLineOf(e.what());
        return false;
    }
    *show = read;
    return true;
}
