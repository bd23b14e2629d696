#pragma once

// The show's schedule: entries of (start beat, scene number) in ascending order,
// with a cursor that only moves forward, at most one entry per lookup.
class Timeline {
  public:
    Timeline() = default;
    ~Timeline();
    Timeline(const Timeline&) = delete;
    Timeline& operator=(const Timeline&) = delete;

    // Appends one entry; the caller keeps the entries in ascending order. Returns
    // false (and adds nothing) when memory for the entry cannot be had.
    bool add(float beat, int sceneNumber);
    // Steps to the next entry if it has begun (start beat <= beat), then returns the
    // scene of the current entry and its start beat. Needs at least one entry.
    int lookup(float beat, float& startBeat);
    void reset() { cursor = 0; }
    // Removes every entry (for a fresh line-up).
    void clear() {
        count = 0;
        cursor = 0;
    }

    int size() const { return count; }
    // Start beat of entry `index` (0 to size() - 1).
    float startBeat(int index) const { return beats[index]; }
    int sceneNumber(int index) const { return sceneNumbers[index]; }
    int position() const { return cursor; }

  private:
    float* beats = nullptr;
    int* sceneNumbers = nullptr;
    int count = 0;
    int cursor = 0;
};
