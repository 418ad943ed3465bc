# vorta_sources(VAR DIR...): the .cpp/.h files of the given folders (tests excluded).
function(vorta_sources var)
  set(result)
  foreach(dir ${ARGN})
    file(GLOB found CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
    list(APPEND result ${found})
  endforeach()
  set(${var} ${result} PARENT_SCOPE)
endfunction()

# vorta_test(NAME SOURCES a.cpp ... LIBS x y ...): one GoogleTest program whose
# cases CTest lists one by one; widgets run headless.
function(vorta_test name)
  if(NOT VORTA_TESTS)
    return()
  endif()
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vorta_testing GTest::gtest GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "VORTA_BIN_DIR=${CMAKE_BINARY_DIR}/bin"
               TIMEOUT 300)
endfunction()

# vorta_embed_version(TARGET): the file version (the project's version) inside the
# program, where GetVersionExe reads it back.
function(vorta_embed_version target)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.cpp)
  file(GENERATE OUTPUT ${out} CONTENT
"// Generated: the program's file version.
extern \"C\" __attribute__((used, section(\".vorta_version\")))
const char vorta_file_version_${target}[] = \"VORTA-FILE-VERSION:${PROJECT_VERSION}\";
")
  target_sources(${target} PRIVATE ${out})
endfunction()

# vorta_test_folder(NAME LIBS ...): every .cpp of the calling tests/ folder makes one
# test program; nothing when the folder has none yet.
function(vorta_test_folder name)
  cmake_parse_arguments(T "" "" "LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    vorta_test(${name} SOURCES ${sources} LIBS ${T_LIBS})
  endif()
endfunction()
