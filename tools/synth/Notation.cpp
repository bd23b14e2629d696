#include "tools/synth/Notation.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace synth {

namespace {

constexpr double kStepBeats = 0.25;
constexpr double kBeatsPerBar = 4.0;
constexpr float kDefaultVelocity = 0.8f;
constexpr float kAccentVelocity = 1.0f;
constexpr float kSoftVelocity = 0.55f;

bool fail(std::string& error, const std::string& message) {
    error = message;
    return false;
}

std::vector<std::string> tokenize(const std::string& text) {
    std::vector<std::string> tokens;
    std::string current;
    auto flush = [&] {
        if (!current.empty())
            tokens.push_back(current);
        current.clear();
    };
    for (char c : text) {
        if (c == ' ' || c == '\t' || c == '\n') {
            flush();
        } else if (c == '[') {
            flush();
            tokens.push_back("[");
        } else if (c == ']') {
            flush();
            current = "]";
        } else {
            current += c;
        }
    }
    flush();
    return tokens;
}

// Parses a positive integer from the front of `s`; false when there is none.
bool takeCount(std::string& s, int& count) {
    size_t digits = 0;
    while (digits < s.size() && std::isdigit((unsigned char)s[digits]))
        ++digits;
    if (digits == 0 || digits > 4)
        return false;
    count = std::atoi(s.substr(0, digits).c_str());
    s.erase(0, digits);
    return count > 0;
}

// Reads "/4", "/4.", "/1*3" from the front of `s`.
bool takeLength(std::string& s, double& beats) {
    s.erase(0, 1);
    int denominator = 0;
    if (!takeCount(s, denominator))
        return false;
    bool powerOfTwo = (denominator & (denominator - 1)) == 0;
    if (!powerOfTwo || denominator > 64)
        return false;
    beats = kBeatsPerBar / denominator;
    if (!s.empty() && s[0] == '.') {
        beats *= 1.5;
        s.erase(0, 1);
    }
    if (!s.empty() && s[0] == '*') {
        s.erase(0, 1);
        int times = 0;
        if (!takeCount(s, times))
            return false;
        beats *= times;
    }
    return true;
}

class NoteParser {
  public:
    NoteParser(const std::vector<std::string>& tokens, ParsedPattern& out, std::string& error)
        : tokens(tokens), out(out), error(error) {}

    bool parse() {
        if (!sequence(false))
            return false;
        out.lengthBeats = beat;
        return true;
    }

  private:
    // Reads tokens up to the end, or up to the "]" that closes a group.
    bool sequence(bool inGroup) {
        while (pos < tokens.size()) {
            const std::string& token = tokens[pos++];
            if (token == "[") {
                if (!group())
                    return false;
            } else if (token[0] == ']') {
                if (!inGroup)
                    return fail(error, "']' without '['");
                --pos;
                return true;
            } else if (token == "|") {
                if (std::fmod(beat, kBeatsPerBar) != 0.0)
                    return fail(error, "bar line at beat " + std::to_string(beat) + " is not on a whole bar");
            } else if (!note(token)) {
                return false;
            }
        }
        return inGroup ? fail(error, "'[' without ']'") : true;
    }

    bool group() {
        double start = beat;
        size_t first = out.notes.size();
        if (!sequence(true))
            return false;
        std::string close = tokens[pos++];
        int times = 1;
        if (close != "]") {
            close.erase(0, 1);
            if (close.size() < 2 || close[0] != '*' || !takeCount(close.erase(0, 1), times) || !close.empty())
                return fail(error, "bad group end '" + tokens[pos - 1] + "'");
        }
        double span = beat - start;
        size_t last = out.notes.size();
        for (int t = 1; t < times; ++t)
            for (size_t i = first; i < last; ++i) {
                PatternNote copy = out.notes[i];
                copy.beat += span * t;
                out.notes.push_back(copy);
            }
        beat = start + span * times;
        return true;
    }

    bool note(const std::string& token) {
        std::string rest = token;
        float velocity = kDefaultVelocity;
        if (rest.back() == '!' || rest.back() == '?') {
            velocity = rest.back() == '!' ? kAccentVelocity : kSoftVelocity;
            rest.pop_back();
        }
        size_t slash = rest.find('/');
        std::string pitches = rest.substr(0, slash);
        if (slash != std::string::npos) {
            std::string length = rest.substr(slash);
            if (!takeLength(length, lastLength) || !length.empty())
                return fail(error, "bad length in '" + token + "'");
        }
        if (pitches != "r") {
            size_t start = 0;
            for (;;) {
                size_t plus = pitches.find('+', start);
                float pitch = 0;
                if (!parsePitch(pitches.substr(start, plus - start), pitch))
                    return fail(error, "bad pitch in '" + token + "'");
                out.notes.push_back({beat, lastLength, pitch, velocity});
                if (plus == std::string::npos)
                    break;
                start = plus + 1;
            }
        }
        beat += lastLength;
        return true;
    }

    const std::vector<std::string>& tokens;
    ParsedPattern& out;
    std::string& error;
    size_t pos = 0;
    double beat = 0.0;
    double lastLength = 1.0;
};

} // namespace

bool parsePitch(const std::string& name, float& pitch) {
    static const int kSemitones[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.size() < 2 || name.size() > 3 || name[0] < 'A' || name[0] > 'G')
        return false;
    int semitone = kSemitones[name[0] - 'A'];
    size_t i = 1;
    if (name[i] == '#' || name[i] == 'b')
        semitone += name[i++] == '#' ? 1 : -1;
    if (i + 1 != name.size() || !std::isdigit((unsigned char)name[i]))
        return false;
    pitch = (float)(12 * (name[i] - '0' + 1) + semitone);
    return true;
}

bool parseSteps(const std::string& text, ParsedPattern& out, std::string& error) {
    out = ParsedPattern();
    int step = 0;
    for (char c : text) {
        if (c == ' ' || c == '|')
            continue;
        float velocity = 0.0f;
        if (c == 'x') {
            velocity = 0.7f;
        } else if (c == 'X') {
            velocity = 1.0f;
        } else if (c >= '1' && c <= '9') {
            velocity = (c - '0') / 10.0f;
        } else if (c != '.') {
            return fail(error, std::string("bad step '") + c + "'");
        }
        if (velocity > 0.0f)
            out.notes.push_back({step * kStepBeats, kStepBeats, 0.0f, velocity});
        ++step;
    }
    out.lengthBeats = step * kStepBeats;
    return true;
}

bool parseNotes(const std::string& text, ParsedPattern& out, std::string& error) {
    out = ParsedPattern();
    std::vector<std::string> tokens = tokenize(text);
    return NoteParser(tokens, out, error).parse();
}

} // namespace synth
