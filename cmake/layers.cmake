# The layers of the program, from the bottom up. Each layer is one static library that links
# only the layers below it, so a call upwards fails at link time; the include check
# (scripts/check_layers.py, run as the test layer_check) fails on an include upwards.
#
#   pinbro_layer(<name> [DIRS <dir>...] [FILES <file>...] [DEPS <layer>...] [LIBS <target>...]
#                [NO_LIBRARY])
#
# DIRS are folders whose .cpp/.h/.qrc files belong to the layer (a folder that does not exist
# yet is picked up once it has files); FILES are single files, claimed before any folder of a
# later layer globs them. DEPS name lower layers, LIBS external targets. A layer without sources
# becomes an interface library, so higher layers can name it before it has code. NO_LIBRARY
# records a layer for the check only (the programs, whose targets app/ defines).
#
# Every call appends "<rank> <name> <dir/ or file>..." to the layer map, written at the end of
# configuring to ${PINBRO_LAYER_MAP} for the include check.

set(PINBRO_LAYER_MAP ${CMAKE_BINARY_DIR}/layer_map.txt)
set_property(GLOBAL PROPERTY PINBRO_LAYER_LINES "")
set_property(GLOBAL PROPERTY PINBRO_LAYER_NAMES "")
set_property(GLOBAL PROPERTY PINBRO_CLAIMED_FILES "")

function(pinbro_layer name)
  cmake_parse_arguments(PARSE_ARGV 1 L "NO_LIBRARY" "" "DIRS;FILES;DEPS;LIBS")
  get_property(names GLOBAL PROPERTY PINBRO_LAYER_NAMES)
  get_property(claimed GLOBAL PROPERTY PINBRO_CLAIMED_FILES)
  foreach(dep ${L_DEPS})
    if(NOT dep IN_LIST names)
      message(FATAL_ERROR "layer ${name}: ${dep} is not a layer below it")
    endif()
  endforeach()

  set(sources "")
  foreach(file ${L_FILES})
    list(APPEND sources ${CMAKE_SOURCE_DIR}/${file})
  endforeach()
  foreach(dir ${L_DIRS})
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${dir}/*.cpp
         ${CMAKE_SOURCE_DIR}/${dir}/*.h ${CMAKE_SOURCE_DIR}/${dir}/*.qrc)
    foreach(file ${found})
      if(NOT file IN_LIST claimed)
        list(APPEND sources ${file})
      endif()
    endforeach()
  endforeach()
  list(APPEND claimed ${sources})
  set_property(GLOBAL PROPERTY PINBRO_CLAIMED_FILES "${claimed}")

  list(LENGTH names rank)
  math(EXPR rank "${rank} + 1")
  set(line "${rank} ${name}")
  foreach(file ${L_FILES})
    string(APPEND line " ${file}")
  endforeach()
  foreach(dir ${L_DIRS})
    string(APPEND line " ${dir}/")
  endforeach()
  set_property(GLOBAL APPEND PROPERTY PINBRO_LAYER_LINES "${line}")
  set_property(GLOBAL APPEND PROPERTY PINBRO_LAYER_NAMES ${name})

  if(L_NO_LIBRARY)
    return()
  endif()
  set(deps "")
  foreach(dep ${L_DEPS})
    list(APPEND deps pinbro_${dep})
  endforeach()
  set(cpp_sources ${sources})
  list(FILTER cpp_sources INCLUDE REGEX "\\.cpp$")
  if(cpp_sources)
    add_library(pinbro_${name} STATIC ${sources})
    target_include_directories(pinbro_${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(pinbro_${name} PUBLIC ${deps} ${L_LIBS})
  else()
    add_library(pinbro_${name} INTERFACE ${sources})
    target_include_directories(pinbro_${name} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(pinbro_${name} INTERFACE ${deps} ${L_LIBS})
  endif()
endfunction()

# Writes the layer map; called once after the last layer.
function(pinbro_write_layer_map)
  get_property(lines GLOBAL PROPERTY PINBRO_LAYER_LINES)
  list(JOIN lines "\n" text)
  file(WRITE ${PINBRO_LAYER_MAP}.new "# rank name paths (generated from cmake/layers.cmake)\n${text}\n")
  file(COPY_FILE ${PINBRO_LAYER_MAP}.new ${PINBRO_LAYER_MAP} ONLY_IF_DIFFERENT)
endfunction()

# The layer table, from the bottom up: the one place that states the layer order.
pinbro_layer(platform  DIRS platform                  LIBS Qt6::Core SQLite::SQLite3)
pinbro_layer(regaccess FILES registry/registry_access.h registry/registry_access.cpp
                       DEPS platform)
pinbro_layer(core      DIRS core      DEPS regaccess)
pinbro_layer(browse    DIRS browse    DEPS core       LIBS Qt6::Gui)
pinbro_layer(fileops   DIRS fileops   DEPS browse)
pinbro_layer(crypto    DIRS crypto    DEPS fileops    LIBS ZLIB::ZLIB)
pinbro_layer(zip       DIRS zip       DEPS fileops    LIBS ZLIB::ZLIB PkgConfig::MINIZIP
                                                PkgConfig::LIBDEFLATE)
pinbro_layer(registry  DIRS registry  DEPS browse)
pinbro_layer(collect   DIRS collect   DEPS fileops)
pinbro_layer(device    DIRS device    DEPS collect)
pinbro_layer(ui        DIRS ui        DEPS crypto zip registry collect device LIBS Qt6::Widgets)
pinbro_layer(app       DIRS app       NO_LIBRARY)
pinbro_write_layer_map()
