#include "tools/models/MeshRecord.h"

#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>

#include <cstdio>

namespace models {

Lib3dsMesh* meshRecord(const std::string& name, const Mesh& mesh) {
    Lib3dsMesh* m = lib3ds_mesh_new(name.c_str());
    lib3ds_matrix_identity(m->matrix);
    lib3ds_mesh_new_point_list(m, Lib3dsDword(mesh.points.size()));
    for (size_t i = 0; i < mesh.points.size(); ++i)
        for (int j = 0; j < 3; ++j)
            m->pointL[i].pos[j] = mesh.points[i][j];
    if (mesh.uvs.size() == mesh.points.size()) {
        lib3ds_mesh_new_texel_list(m, Lib3dsDword(mesh.uvs.size()));
        for (size_t i = 0; i < mesh.uvs.size(); ++i) {
            m->texelL[i][0] = mesh.uvs[i][0];
            m->texelL[i][1] = mesh.uvs[i][1];
        }
    }
    lib3ds_mesh_new_face_list(m, Lib3dsDword(mesh.faces.size()));
    for (size_t i = 0; i < mesh.faces.size(); ++i) {
        const Face& f = mesh.faces[i];
        for (int j = 0; j < 3; ++j)
            m->faceL[i].points[j] = Lib3dsWord(f.points[j]);
        snprintf(m->faceL[i].material, sizeof m->faceL[i].material, "%s", f.material.c_str());
        m->faceL[i].smoothing = f.smoothing;
    }
    return m;
}

} // namespace models
