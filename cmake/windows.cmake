# The Windows program: a GUI-subsystem executable, statically linked, carrying its resources.
target_compile_definitions(rebootdel_core PUBLIC STRICT NOMINMAX _WIN32_WINNT=0x0601)

set(RESOURCE_DIR ${CMAKE_SOURCE_DIR}/src/resources)

# The dialogs, icon, manifest and version, compiled once for every executable that shows the
# program's windows (the program, the Wine suite, the benchmark).
add_library(rebootdel_resources OBJECT ${RESOURCE_DIR}/rebootdel.rc)

add_executable(rebootdel WIN32 ${CMAKE_SOURCE_DIR}/src/app/winmain.cpp)
target_link_libraries(rebootdel PRIVATE rebootdel_resources rebootdel_core comctl32 comdlg32 shell32 shlwapi user32
                      gdi32 advapi32 kernel32)
# One .exe with no DLLs of its own: the C++ runtime, libgcc and the thread support are linked in.
target_link_options(rebootdel PRIVATE -static -static-libgcc -static-libstdc++)
# The i686 program may hold a folder of hundreds of thousands of entries; large-address aware, it
# has 4 GB to work in on 64-bit Windows instead of 2.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(rebootdel PRIVATE -Wl,--large-address-aware)
endif()
set_target_properties(rebootdel PROPERTIES OUTPUT_NAME rebootdel)

# windres: the .rc is UTF-8, and the files it names (resource.h, the icon, the manifest) are found
# through the resources folder. windres reports no dependencies, so name them here, or a new icon
# would not reach the program.
set_source_files_properties(${RESOURCE_DIR}/rebootdel.rc PROPERTIES
    COMPILE_OPTIONS "-I${RESOURCE_DIR};--codepage=65001"
    OBJECT_DEPENDS "${RESOURCE_DIR}/resource.h;${RESOURCE_DIR}/app.ico;${RESOURCE_DIR}/rebootdel.manifest")

# The right-click verb's helper, rebootdel-menu.exe beside the program: no elevation, no window,
# only the gathering rules of the program's sources. One .exe with no DLLs of its own either.
add_executable(rebootdel_menu WIN32 ${CMAKE_SOURCE_DIR}/src/app/menu_helper.cpp
               ${CMAKE_SOURCE_DIR}/src/intake/gathering_rules.cpp ${RESOURCE_DIR}/menu_helper.rc)
target_include_directories(rebootdel_menu PRIVATE ${CMAKE_SOURCE_DIR}/src)
target_compile_definitions(rebootdel_menu PRIVATE STRICT NOMINMAX _WIN32_WINNT=0x0601)
target_link_libraries(rebootdel_menu PRIVATE shell32 user32 advapi32 ole32 kernel32)
target_link_options(rebootdel_menu PRIVATE -static -static-libgcc -static-libstdc++)
set_target_properties(rebootdel_menu PROPERTIES OUTPUT_NAME rebootdel-menu)
set_source_files_properties(${RESOURCE_DIR}/menu_helper.rc PROPERTIES
    COMPILE_OPTIONS "-I${RESOURCE_DIR};--codepage=65001"
    OBJECT_DEPENDS "${RESOURCE_DIR}/menu_helper.manifest")

# The Wine suite, for both builds: the i686 one runs under 32-bit Wine, the x86_64 one under wine64.
if(EXISTS ${CMAKE_SOURCE_DIR}/e2e/CMakeLists.txt)
    add_subdirectory(e2e)
endif()

# The Send To shortcut is written through the shell's COM objects.
target_link_libraries(rebootdel_core PUBLIC ole32 uuid)
