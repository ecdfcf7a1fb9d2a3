# The Windows program: a GUI-subsystem executable, statically linked, carrying its resources.
target_compile_definitions(rebootdel_core PUBLIC STRICT NOMINMAX _WIN32_WINNT=0x0601)

add_executable(rebootdel WIN32
    ${CMAKE_SOURCE_DIR}/src/app/winmain.cpp
    ${CMAKE_SOURCE_DIR}/src/resources/rebootdel.rc)
target_link_libraries(rebootdel PRIVATE rebootdel_core comctl32 comdlg32 shell32 shlwapi user32
                      gdi32 kernel32)
target_link_options(rebootdel PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(rebootdel PROPERTIES OUTPUT_NAME rebootdel)
# windres runs the .rc through the preprocessor; it needs the id header's folder.
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${CMAKE_SOURCE_DIR}/src/resources -c 65001")

if(EXISTS ${CMAKE_SOURCE_DIR}/e2e/CMakeLists.txt AND CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
    add_subdirectory(e2e)
endif()
