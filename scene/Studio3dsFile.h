#pragma once

struct Lib3dsFile;

// The one adapter between the code and Debian's lib3ds (the 1.x interface): a file
// as the flattening and the scenes read it.
class Studio3dsFile {
public:
    // nullptr when the file cannot be opened or read (the caller reports it).
    static Studio3dsFile* open(const char* path);
    ~Studio3dsFile();
    Studio3dsFile(const Studio3dsFile&) = delete;
    Studio3dsFile& operator=(const Studio3dsFile&) = delete;

    void eval(float frame);
    int frames() const;
    const char* name() const;
    int countFaces() const;           // sum of the meshes' face counts
    int materialCount() const;
    const char* textureMapName(int material) const; // "" for a material without one

    Lib3dsFile* raw() { return file; }

private:
    explicit Studio3dsFile(Lib3dsFile* f) : file(f) {}
    Lib3dsFile* file;
};
