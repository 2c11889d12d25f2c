include(${CMAKE_CURRENT_LIST_DIR}/../presta_dal_host.cmake)
versione_dal_host(CLI11)
