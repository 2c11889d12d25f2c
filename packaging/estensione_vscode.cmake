# cmake -P: makes the VS Code extension's .vsix for the packages, from
# editors/vscode/ and its pinned lock file, with the highlighting grammars
# the build made and scenario-tool for Linux x86-64 and Windows x86-64
# inside (stripped), in a staging folder of the build tree:
#   extension.js, package.json (at the project's version), README.md
#   syntaxes/scenario-linea.tmLanguage.json, syntaxes/scenario-treno...
#   bin/linux-x64/scenario-tool, bin/win32-x64/scenario-tool.exe
# npm ci installs the packages of the lock file (from npm's cache or the
# registry: at build time only; the extension downloads nothing when it
# runs), and vsce packs the folder with every file's time set to
# SOURCE_DATE_EPOCH (the stripped Windows executable's stamp too), so the
# same sources make the same .vsix.
#
# Variables: SORGENTI (editors/vscode), STAGING, GRAMMATICHE, SERVITORE_LINUX, SERVITORE_WINDOWS,
# STRIP, STRIP_WINDOWS, NPM, VERSIONE, EPOCA, VSIX (the file to make).
foreach(v SORGENTI STAGING GRAMMATICHE SERVITORE_LINUX SERVITORE_WINDOWS NPM VERSIONE EPOCA VSIX)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "estensione_vscode.cmake: ${v} not given")
  endif()
endforeach()

# node_modules stays from one build to the next (npm ci replaces it anyway);
# the rest is made anew.
file(GLOB vecchi LIST_DIRECTORIES true ${STAGING}/*)
list(FILTER vecchi EXCLUDE REGEX "/node_modules$")
if(vecchi)
  file(REMOVE_RECURSE ${vecchi})
endif()
file(MAKE_DIRECTORY ${STAGING}/syntaxes ${STAGING}/bin/linux-x64 ${STAGING}/bin/win32-x64)

file(COPY ${SORGENTI}/extension.js ${SORGENTI}/README.md ${SORGENTI}/package-lock.json
          ${SORGENTI}/.vscodeignore DESTINATION ${STAGING})
file(READ ${SORGENTI}/package.json manifesto)
string(JSON manifesto SET "${manifesto}" version "\"${VERSIONE}\"")
file(WRITE ${STAGING}/package.json "${manifesto}\n")
file(GLOB grammatiche ${GRAMMATICHE}/*.tmLanguage.json)
file(COPY ${grammatiche} DESTINATION ${STAGING}/syntaxes)

function(copia_servitore eseguibile cartella strip)
  get_filename_component(nome ${eseguibile} NAME)
  file(COPY ${eseguibile} DESTINATION ${cartella}
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                        WORLD_READ WORLD_EXECUTE)
  if(strip)
    execute_process(COMMAND ${strip} ${cartella}/${nome} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endfunction()
# strip stamps a Windows executable with SOURCE_DATE_EPOCH, not the time.
set(ENV{SOURCE_DATE_EPOCH} ${EPOCA})
copia_servitore(${SERVITORE_LINUX} ${STAGING}/bin/linux-x64 "${STRIP}")
copia_servitore(${SERVITORE_WINDOWS} ${STAGING}/bin/win32-x64 "${STRIP_WINDOWS}")

execute_process(COMMAND ${NPM} ci --no-audit --no-fund --loglevel=error
  WORKING_DIRECTORY ${STAGING} COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${NPM} run --silent package -- --out ${VSIX}
  WORKING_DIRECTORY ${STAGING} COMMAND_ERROR_IS_FATAL ANY)
