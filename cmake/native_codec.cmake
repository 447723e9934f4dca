# The codec's sources and libraries for the native (Linux) projects: the
# fuzzers (tests/fuzz) and the development programs (tests/native).
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)

find_package(JPEG REQUIRED)
find_package(PNG REQUIRED)
find_package(TIFF REQUIRED)
find_library(WEBP_LIBRARY webp REQUIRED)
find_library(WEBPDEMUX_LIBRARY webpdemux REQUIRED)
find_package(Threads REQUIRED)

set(codec_dir ${CMAKE_CURRENT_LIST_DIR}/../codec)
file(GLOB codec_sources CONFIGURE_DEPENDS ${codec_dir}/*.cpp)
set(codec_libraries TIFF::TIFF PNG::PNG JPEG::JPEG ${WEBPDEMUX_LIBRARY} ${WEBP_LIBRARY} Threads::Threads)
