# The layers of the code. Each folder of the core, and each room of the tool
# (a folder under tools/, named "tools/lsp"), is one static library that sees
# only its own headers and those of the folders it stands on (directly or
# through another): its sources are compiled against a view of the source
# tree, a folder of links to just those folders, so an include that points
# upward or sideways names a file that is not there and does not build.

set(SCENARIO_VISTE ${CMAKE_BINARY_DIR}/strati)
set(SCENARIO_REGOLE_STRATI ${SCENARIO_VISTE}/regole.cmake)
file(WRITE ${SCENARIO_REGOLE_STRATI}
     "# Generated: the folders each layer may include from (itself included).\n")

# The name of the library of `cartella`: strato_compiler, strato_tools_lsp.
function(nome_strato cartella uscita)
  string(REPLACE "/" "_" nome ${cartella})
  set(${uscita} strato_${nome} PARENT_SCOPE)
endfunction()

# The folders `cartella` may include from, itself first.
function(visibili_da cartella uscita)
  get_property(visibili GLOBAL PROPERTY SCENARIO_VISIBILI_${cartella})
  set(${uscita} ${visibili} PARENT_SCOPE)
endfunction()

# The view of the source tree for `cartella`: a folder of links to the folders
# it may include from.
function(vista_di cartella uscita)
  set(${uscita} ${SCENARIO_VISTE}/${cartella} PARENT_SCOPE)
endfunction()

# scenario_strato(CARTELLA SU <folders it stands on> SORGENTI <sources>)
# Makes the library of the folder's sources (nome_strato), linked to the
# libraries of the folders it stands on. A room of the tool is named by its
# path, "tools/lsp", and stands on layers and on other rooms alike.
function(scenario_strato cartella)
  cmake_parse_arguments(PARSE_ARGV 1 S "" "" "SU;SORGENTI")
  set(visibili ${cartella})
  foreach(sotto IN LISTS S_SU)
    visibili_da(${sotto} del_sotto)
    if(NOT del_sotto)
      message(FATAL_ERROR "layer ${cartella} stands on ${sotto}, which is not defined yet")
    endif()
    list(APPEND visibili ${del_sotto})
  endforeach()
  list(REMOVE_DUPLICATES visibili)
  set_property(GLOBAL PROPERTY SCENARIO_VISIBILI_${cartella} ${visibili})
  file(APPEND ${SCENARIO_REGOLE_STRATI} "set(VISIBILI_${cartella} ${visibili})\n")
  set_property(GLOBAL APPEND PROPERTY SCENARIO_STRATI ${cartella})

  vista_di(${cartella} vista)
  file(MAKE_DIRECTORY ${vista})
  # A link left by an earlier configure whose folder is no longer below goes
  # (only the link: file(REMOVE) does not follow it). The rooms' links stand
  # in a real folder tools/ of the view, never a link to the whole of tools/.
  file(GLOB presenti LIST_DIRECTORIES true RELATIVE ${vista} ${vista}/* ${vista}/tools/*)
  foreach(p IN LISTS presenti)
    if(IS_SYMLINK ${vista}/${p} AND NOT p IN_LIST visibili)
      file(REMOVE ${vista}/${p})
    endif()
  endforeach()
  foreach(v IN LISTS visibili)
    if(NOT IS_SYMLINK ${vista}/${v})
      get_filename_component(genitore ${vista}/${v} DIRECTORY)
      file(MAKE_DIRECTORY ${genitore})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${v} ${vista}/${v} SYMBOLIC)
    endif()
  endforeach()

  nome_strato(${cartella} libreria)
  add_library(${libreria} STATIC ${S_SORGENTI})
  target_include_directories(${libreria} PRIVATE ${vista})
  target_link_libraries(${libreria} PRIVATE scenario_warnings)
  foreach(sotto IN LISTS S_SU)
    nome_strato(${sotto} libreria_sotto)
    target_link_libraries(${libreria} PUBLIC ${libreria_sotto})
  endforeach()
endfunction()

# A target of the folder `cartella` that is not its library (an executable
# beside it): compiled against the same view.
function(scenario_nello_strato bersaglio cartella)
  vista_di(${cartella} vista)
  nome_strato(${cartella} libreria)
  target_include_directories(${bersaglio} PRIVATE ${vista})
  target_link_libraries(${bersaglio} PRIVATE ${libreria} scenario_warnings)
endfunction()
