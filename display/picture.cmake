# mapreg_picture: the map picture (CMapBitmap), the .bmp decoder that fills it, its palette for
# palette displays and the embedded bitmap resources (the built-in world map). QtGui only.
add_library(mapreg_picture STATIC
    ${CMAKE_CURRENT_LIST_DIR}/CBmpDecoder.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CDisplayCapabilities.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMapBitmap.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMapPyramid.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMapZoom.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CPalette.cpp
    ${PROJECT_SOURCE_DIR}/resources/worldmap.qrc)
add_library(mapreg::picture ALIAS mapreg_picture)
target_include_directories(mapreg_picture PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(mapreg_picture PUBLIC Qt6::Gui PRIVATE mapreg::warnings)
