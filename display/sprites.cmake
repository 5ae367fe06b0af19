# The sprite engine and the figures it composes over the map picture (QtGui only).
add_library(mapreg_sprites STATIC
    ${CMAKE_CURRENT_LIST_DIR}/ISpriteAllocator.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSprite.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CSpriteEngine.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CMarkSprite.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CPointerSprite.cpp
    ${CMAKE_CURRENT_LIST_DIR}/CLabelSprite.cpp)
add_library(mapreg::sprites ALIAS mapreg_sprites)
target_include_directories(mapreg_sprites PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(mapreg_sprites PUBLIC Qt6::Gui PRIVATE mapreg::warnings)
set_target_properties(mapreg_sprites PROPERTIES AUTOMOC OFF)
