# Who may use whom. Every folder of the product is one library; this table is the only place
# that says which folders each may include and link. Both the libraries (pelorin_library) and
# the level test (tests/levels/CheckLevels.cmake) are made from it. A folder may use what it
# names and, through those, what they may use. It names only what its code needs: the level
# test fails on a named folder that nothing of it uses, directly or through that one.
#
#   level 0   platform/ and its headless host, gfx/, chunkfile/
#   level 1   grid/ → chips/ → map/; preview/ on gfx/ alone; app/core/ on map/ and preview/
#   level 2   app/qt/, the only folder that includes Qt
#   tools/    pelorin-tool: levels 0 and 1 and the headless host, no Qt
include(${CMAKE_CURRENT_LIST_DIR}/LevelRules.cmake)

#              folder             may use
pelorin_folder(platform)
pelorin_folder(platform/headless  platform)
pelorin_folder(gfx                platform)
pelorin_folder(chunkfile          platform)
pelorin_folder(grid               gfx)
pelorin_folder(chips              grid chunkfile)
pelorin_folder(preview            gfx)
pelorin_folder(map                chips)
pelorin_folder(app/core           map preview)
pelorin_folder(app/qt             app/core QT)
pelorin_folder(tools              app/core platform/headless)
