# Header-only packages lent by the host to the Windows cross build. The MinGW
# sysroot has none of them, and header-only code serves any target. The
# headers are copied into the build tree and used from there: the host's
# /usr/include on the include path would hide MinGW's own C headers.
set(_host_include /usr/include /usr/local/include)
set(_host_config /usr/share/cmake /usr/lib/cmake /usr/local/share/cmake /usr/local/lib/cmake)

# In a <pacchetto>ConfigVersion.cmake: answers as the host's version file does.
macro(versione_dal_host pacchetto)
  find_file(${pacchetto}_HOST_VERSION_FILE ${pacchetto}ConfigVersion.cmake
    PATHS ${_host_config} PATH_SUFFIXES ${pacchetto} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(${pacchetto}_HOST_VERSION_FILE)
    include(${${pacchetto}_HOST_VERSION_FILE})
  else()
    set(PACKAGE_VERSION_UNSUITABLE TRUE)
  endif()
endmacro()

# In a <pacchetto>Config.cmake: copies the host's header folder `cartella`
# (which holds `intestazione`) and defines the imported target `bersaglio`.
macro(pacchetto_dal_host pacchetto cartella intestazione bersaglio)
  find_path(${pacchetto}_HOST_INCLUDE_DIR ${cartella}/${intestazione}
    PATHS ${_host_include} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
  if(${pacchetto}_HOST_INCLUDE_DIR)
    set(_copia "${CMAKE_BINARY_DIR}/dal-host/${pacchetto}/include")
    file(COPY "${${pacchetto}_HOST_INCLUDE_DIR}/${cartella}" DESTINATION "${_copia}")
    if(NOT TARGET ${bersaglio})
      add_library(${bersaglio} INTERFACE IMPORTED)
      set_target_properties(${bersaglio} PROPERTIES
        INTERFACE_INCLUDE_DIRECTORIES "${_copia}"
        INTERFACE_COMPILE_FEATURES cxx_std_11)
    endif()
  else()
    set(${pacchetto}_FOUND FALSE)
    set(${pacchetto}_NOT_FOUND_MESSAGE
      "${cartella}/${intestazione} not found on the host: install its -dev package")
  endif()
endmacro()
