# The browser build (emcmake cmake): the web back end, and the page that
# the game's libraries make with it. Debian's headers of stb_image and
# SimpleIni are copied into the build folder, so em++ sees those alone and
# never the host's other headers.
set(KORVANE_HOST_INCLUDE /usr/include CACHE PATH "Where the stb and SimpleIni headers are")
set(korvane_web_include ${CMAKE_BINARY_DIR}/include)
foreach(header SimpleIni.h stb/stb_image.h stb/stb_image_write.h)
  if(NOT EXISTS ${KORVANE_HOST_INCLUDE}/${header})
    message(FATAL_ERROR "${KORVANE_HOST_INCLUDE}/${header} is missing (libsimpleini-dev, libstb-dev)")
  endif()
  file(COPY ${KORVANE_HOST_INCLUDE}/${header} DESTINATION ${korvane_web_include})
endforeach()

# The web back end; what both back ends share (frame maths, the settings
# file's numbers) is in korvane_engine.
file(GLOB korvane_web_srcs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/engine/web/*.cpp)
add_library(korvane_platform STATIC ${korvane_web_srcs})
target_include_directories(korvane_platform PUBLIC ${CMAKE_SOURCE_DIR}/src)
target_include_directories(korvane_platform SYSTEM PRIVATE ${korvane_web_include})
target_link_libraries(korvane_platform PUBLIC korvane_engine)

function(korvane_web_page)
  add_executable(korvane ${CMAKE_SOURCE_DIR}/src/programs/korvane_web.cpp)
  target_link_libraries(korvane PRIVATE korvane_harness)
  set_target_properties(korvane PROPERTIES SUFFIX ".js")
  target_link_options(korvane PRIVATE
    "SHELL:-s EXPORTED_FUNCTIONS=[_main,_korvane_dump]"
    "SHELL:-s EXPORTED_RUNTIME_METHODS=[UTF8ToString]"
    "SHELL:-s ALLOW_MEMORY_GROWTH=1"
    "SHELL:-s MIN_WEBGL_VERSION=1"
    "SHELL:-s MAX_WEBGL_VERSION=1"
    "SHELL:--preload-file ${CMAKE_SOURCE_DIR}/data@/data"
    "SHELL:--exclude-file *.log")
  set_property(TARGET korvane APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/data/Settings.ini)
  add_custom_command(TARGET korvane POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/dist/web/index.html
            ${CMAKE_BINARY_DIR}/index.html
    COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/dist/icons/64x64/korvane.png
            ${CMAKE_BINARY_DIR}/korvane.png)
endfunction()
