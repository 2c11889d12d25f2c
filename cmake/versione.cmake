# The version of the program and of scenario-tool: the number given once in
# project(), followed, when the sources are a git checkout, by the checkout's
# description (taken when CMake configures; a commit or a checkout of another
# branch makes the next build configure again). A source tree outside git,
# or a build without git, has the number alone.
#
# SCENARIO_VERSIONE      the text, e.g. "1.0.0 (git 7a3f950)"
# tools/versione.h       the same for the code, generated into the build tree
# risorsa_versione(...)  the version resource of a Windows executable

set(SCENARIO_VERSIONE ${PROJECT_VERSION})

# The checkout's description, when the source folder is the top of a checkout
# (not a folder inside someone else's): sets `descrizione` in the caller.
function(descrizione_git descrizione)
  set(${descrizione} "" PARENT_SCOPE)
  find_package(Git QUIET)
  if(NOT GIT_FOUND)
    return()
  endif()
  execute_process(
    COMMAND ${GIT_EXECUTABLE} rev-parse --path-format=absolute --show-toplevel
            --git-path HEAD --git-path logs/HEAD
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE percorsi RESULT_VARIABLE esito
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT esito EQUAL 0)
    return()
  endif()
  string(REPLACE "\n" ";" percorsi "${percorsi}")
  list(GET percorsi 0 cima)
  file(REAL_PATH "${cima}" cima)
  file(REAL_PATH "${PROJECT_SOURCE_DIR}" sorgenti)
  if(NOT cima STREQUAL sorgenti)
    return()
  endif()
  execute_process(
    COMMAND ${GIT_EXECUTABLE} describe --tags --always --dirty
    WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
    OUTPUT_VARIABLE testo RESULT_VARIABLE esito
    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(NOT esito EQUAL 0 OR testo STREQUAL "")
    return()
  endif()
  # HEAD changes on a checkout, logs/HEAD on every commit.
  list(SUBLIST percorsi 1 2 da_seguire)
  foreach(file IN LISTS da_seguire)
    if(EXISTS "${file}")
      set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${file}")
    endif()
  endforeach()
  set(${descrizione} "${testo}" PARENT_SCOPE)
endfunction()

descrizione_git(_descrizione_git)
if(_descrizione_git)
  string(APPEND SCENARIO_VERSIONE " (git ${_descrizione_git})")
endif()
message(STATUS "Version: ${SCENARIO_VERSIONE}")

# For the code: tools/versione.h under generati/ in the build tree, rewritten
# only when the text changes.
set(SCENARIO_GENERATI ${CMAKE_BINARY_DIR}/generati)
configure_file(${CMAKE_CURRENT_LIST_DIR}/versione.h.in ${SCENARIO_GENERATI}/tools/versione.h @ONLY)

# risorsa_versione(BERSAGLIO DESCRIZIONE)
# On Windows, gives the executable BERSAGLIO a version resource (what the
# Details tab of its Properties shows): the number, the text, DESCRIZIONE.
function(risorsa_versione bersaglio descrizione)
  if(NOT WIN32)
    return()
  endif()
  set(RISORSA_NOME ${bersaglio})
  set(RISORSA_DESCRIZIONE "${descrizione}")
  set(risorsa ${CMAKE_CURRENT_BINARY_DIR}/${bersaglio}_versione.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/versione.rc.in ${risorsa} @ONLY)
  target_sources(${bersaglio} PRIVATE ${risorsa})
endfunction()
