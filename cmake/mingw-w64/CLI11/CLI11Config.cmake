# CLI11 (libcli11-dev) for the Windows cross build.
include(${CMAKE_CURRENT_LIST_DIR}/../presta_dal_host.cmake)
pacchetto_dal_host(CLI11 CLI CLI.hpp CLI11::CLI11)
