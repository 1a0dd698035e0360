# Warning and sanitizer flags live on targets, not on the whole directory tree.
find_package(PkgConfig REQUIRED)

add_library(sonavera_warnings INTERFACE)
target_compile_options(sonavera_warnings INTERFACE -Wall -Wextra $<$<BOOL:${SONAVERA_WERROR}>:-Werror>)

add_library(sonavera_sanitize INTERFACE)
if(SONAVERA_SANITIZE)
  target_compile_options(sonavera_sanitize INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                     -fno-sanitize-recover=undefined)
  target_link_options(sonavera_sanitize INTERFACE -fsanitize=address,undefined)
endif()

# sonavera_library(<subsystem> SOURCES ... [DEPENDS ...]) makes the static library sonavera_<subsystem>
# with the alias sonavera::<subsystem>; headers are included as "<subsystem>/file.h".
function(sonavera_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
  add_library(sonavera_${name} STATIC ${ARG_SOURCES})
  add_library(sonavera::${name} ALIAS sonavera_${name})
  target_include_directories(sonavera_${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(sonavera_${name} PUBLIC ${ARG_DEPENDS} sonavera_sanitize PRIVATE sonavera_warnings)
endfunction()

# sonavera_test(<name> SOURCES ... DEPENDS ...) builds one GoogleTest program and registers its tests.
find_package(GTest)
include(GoogleTest)
function(sonavera_test name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;DEPENDS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_DEPENDS} GTest::gtest GTest::gtest_main GTest::gmock
                                        sonavera_warnings sonavera_sanitize)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_compile_definitions(${name} PRIVATE
    SONAVERA_PROGRAM_DIR="${SONAVERA_PROGRAM_DIR}"
    SONAVERA_TOOL="$<TARGET_FILE:sonavera-tool>"
    SONAVERA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  # Tests run headless (Qt's offscreen platform, SDL's dummy audio driver): the test presets and
  # scripts/test set that environment, since a ';' inside PROPERTIES would split the list here.
  gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT ${ARG_TIMEOUT})
endfunction()
