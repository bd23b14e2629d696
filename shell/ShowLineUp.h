#pragma once

struct ShowFile;

// The line-up of a show file (--show) in place of the built-in one: its scenes in
// the scene table, its entries in the timeline, its tempo and music in the shell.

// Reads the show file before anything opens; on a bad file prints its one ERROR line
// and returns false. Sets the music file and tempo the start-up uses.
bool loadShow(const char* path);
// The show loaded by loadShow, or null for the built-in line-up.
const ShowFile* loadedShow();

// Fills the timeline and constructs the show's scenes into their slots, each set to
// the show's tempo. Needs a current GL context.
void createShowScenes(const ShowFile& show);

// Under --watch: reads the loaded show's file again and, when it is good, replaces
// the line-up at the current music time (scenes whose definition did not change are
// kept as they are) and returns true. A bad file is reported and changes nothing.
bool reloadShow();

// Seconds of the show when no music ends it: the show file's last entry plus 64 beats
// at its tempo, or the built-in show's length.
float showEndSeconds();
