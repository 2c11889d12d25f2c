# The marked texts of the sources (tr("..."), trn("...", "...", n)).
# -DMODO=aggiorna: into po/scenario-tool.pot, merged into po/it.po.
# -DMODO=controlla -DTEMPORANEO=FILE: fails when po/scenario-tool.pot is not
#   what the sources give (the date of extraction aside).
# -DXGETTEXT= -DMSGMERGE= -DSORGENTI=<source tree>
cmake_minimum_required(VERSION 3.25)
file(GLOB_RECURSE sorgenti RELATIVE ${SORGENTI}
     ${SORGENTI}/base/*.cpp ${SORGENTI}/base/*.h ${SORGENTI}/tools/*.cpp ${SORGENTI}/tools/*.h)
list(SORT sorgenti)
set(modello ${SORGENTI}/po/scenario-tool.pot)

function(estrai uscita)
  execute_process(
    COMMAND ${XGETTEXT} --language=C++ --from-code=UTF-8 --keyword --keyword=tr
            --keyword=trn:1,2 --add-comments=TRANSLATORS: --add-location=file --sort-by-file
            --force-po --package-name=scenario-tool --msgid-bugs-address= -o ${uscita} ${sorgenti}
    WORKING_DIRECTORY ${SORGENTI} RESULT_VARIABLE esito)
  if(NOT esito EQUAL 0)
    message(FATAL_ERROR "xgettext failed")
  endif()
  if(NOT EXISTS ${uscita})  # xgettext writes nothing when no text is marked
    file(WRITE ${uscita} "")
  endif()
endfunction()

# A template without the lines that change from one extraction to the next.
function(senza_data file uscita)
  file(STRINGS ${file} righe)
  list(FILTER righe EXCLUDE REGEX "^\"POT-Creation-Date:")
  set(${uscita} "${righe}" PARENT_SCOPE)
endfunction()

if(MODO STREQUAL "aggiorna")
  estrai(${modello})
  execute_process(COMMAND ${MSGMERGE} --quiet --update --backup=none
                          --add-location=file --sort-by-file ${SORGENTI}/po/it.po ${modello}
                  RESULT_VARIABLE esito)
  if(NOT esito EQUAL 0)
    message(FATAL_ERROR "msgmerge failed")
  endif()
elseif(MODO STREQUAL "controlla")
  estrai(${TEMPORANEO})
  senza_data(${TEMPORANEO} estratto)
  senza_data(${modello} registrato)
  if(NOT estratto STREQUAL registrato)
    message(FATAL_ERROR "po/scenario-tool.pot is not what the sources mark: run "
                        "`cmake --build build/default --target catalogo_aggiorna` and translate "
                        "the new texts in po/it.po")
  endif()
else()
  message(FATAL_ERROR "MODO must be aggiorna or controlla")
endif()
