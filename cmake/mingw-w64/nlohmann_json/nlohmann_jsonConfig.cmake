# nlohmann-json (nlohmann-json3-dev) for the Windows cross build.
include(${CMAKE_CURRENT_LIST_DIR}/../presta_dal_host.cmake)
pacchetto_dal_host(nlohmann_json nlohmann json.hpp nlohmann_json::nlohmann_json)
