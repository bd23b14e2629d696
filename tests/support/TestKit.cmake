# The test kit: fixture builders (3D Studio files, bitmaps, audio, scratch paths, the
# ray-pass harness) that the tests and the benchmarks both link, so it needs neither
# GoogleTest nor the shell; its meshes come from the geometry kit, as the models' do.
# Included from the root before either is added; the helpers named in
# DEMO_TEST_ONLY_SUPPORT are the test programs' own (tests/).
set(DEMO_TEST_ONLY_SUPPORT FlattenedScene GlTest ShellFakes)
set(kit_dir ${CMAKE_SOURCE_DIR}/tests/support)
file(GLOB TEST_KIT CONFIGURE_DEPENDS ${kit_dir}/*.cpp)
foreach(name ${DEMO_TEST_ONLY_SUPPORT})
  list(REMOVE_ITEM TEST_KIT ${kit_dir}/${name}.cpp)
endforeach()
add_library(demo_testkit STATIC ${TEST_KIT})
target_include_directories(demo_testkit PUBLIC ${CMAKE_SOURCE_DIR}/tests ${STB_INCLUDE_DIR})
target_link_libraries(demo_testkit PUBLIC demo_raytracer demo_effects geometry_kit)
target_compile_definitions(demo_testkit PUBLIC
  DEMO_SOURCE_DIR="${CMAKE_SOURCE_DIR}" DEMO_BINARY_DIR="${CMAKE_BINARY_DIR}")
# stb_image_write's JPEG encoder shifts negative values left (undefined in C++17,
# harmless on every compiler we use); the fixtures only need the files it writes.
if(DEMO_SANITIZE)
  set_source_files_properties(${kit_dir}/ImageFiles.cpp PROPERTIES COMPILE_OPTIONS -fno-sanitize=shift)
endif()
