# The geometry kit: meshes, the shapes they are built from (Mesh, Lattice) and their
# lib3ds mesh record (MeshRecord), without the core, so that everything that builds
# models links the same builders: the generator of the show's scenes and of the
# library's model scene (modelslib), the tests' 3D Studio fixtures and the benchmarks (through
# the test kit), and the fuzz tree's seed writer. Included from the root before the
# fuzz tree stops, so both trees define it once.
set(GEOMETRY_KIT_SOURCES ${CMAKE_SOURCE_DIR}/tools/models/Mesh.cpp ${CMAKE_SOURCE_DIR}/tools/models/Lattice.cpp
  ${CMAKE_SOURCE_DIR}/tools/models/MeshRecord.cpp)
add_library(geometry_kit STATIC ${GEOMETRY_KIT_SOURCES})
target_include_directories(geometry_kit PUBLIC ${CMAKE_SOURCE_DIR} PRIVATE ${LIB3DS_INCLUDE_DIR})
target_link_libraries(geometry_kit PUBLIC ${LIB3DS_LIBRARY})
