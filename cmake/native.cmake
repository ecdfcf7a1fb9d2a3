# The native build: the program over the Win32 stand-in, with the unit and scenario tests.
file(GLOB STANDIN_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/standin/*.cpp)
add_library(standin STATIC ${STANDIN_SOURCES})
target_include_directories(standin PUBLIC ${CMAKE_SOURCE_DIR}/standin/include ${CMAKE_SOURCE_DIR}/src)
target_link_libraries(rebootdel_core PUBLIC standin)

if(REBOOTDEL_SANITIZE)
    set(sanitize_flags -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    foreach(target rebootdel_core standin)
        target_compile_options(${target} PUBLIC ${sanitize_flags})
        target_link_options(${target} PUBLIC ${sanitize_flags})
    endforeach()
endif()

enable_testing()
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB UNIT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/unit/*.cpp)
add_executable(unit_tests ${UNIT_TEST_SOURCES})
target_link_libraries(unit_tests PRIVATE rebootdel_core GTest::gtest GTest::gtest_main)
target_compile_definitions(unit_tests PRIVATE SOURCE_DIR="${CMAKE_SOURCE_DIR}")
gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 60)

file(GLOB SCENARIO_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/scenario/*.cpp)
if(SCENARIO_TEST_SOURCES)
    add_executable(scenario_tests ${SCENARIO_TEST_SOURCES})
    target_link_libraries(scenario_tests PRIVATE rebootdel_core GTest::gtest GTest::gtest_main)
    target_compile_definitions(scenario_tests PRIVATE SOURCE_DIR="${CMAKE_SOURCE_DIR}")
    gtest_discover_tests(scenario_tests DISCOVERY_TIMEOUT 60)
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/tests/fuzz/CMakeLists.txt AND REBOOTDEL_FUZZ)
    add_subdirectory(tests/fuzz)
endif()

# The fault-injection tests: a program of their own, because it replaces the global operator new
# to make a chosen allocation fail.
file(GLOB FAULT_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/fault/*.cpp)
if(FAULT_TEST_SOURCES)
    add_executable(fault_tests ${FAULT_TEST_SOURCES})
    target_link_libraries(fault_tests PRIVATE rebootdel_core GTest::gtest GTest::gtest_main)
    gtest_discover_tests(fault_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 900)
endif()
