# Boost (headers only) and GoogleTest, from Debian's packages on the build machine.

set(KELVO_BOOST_ROOT /usr/include/boost CACHE PATH "Boost headers (the boost/ folder)")
if(NOT EXISTS "${KELVO_BOOST_ROOT}/version.hpp")
    message(FATAL_ERROR "Boost headers not found at ${KELVO_BOOST_ROOT}: run scripts/install-deps.sh")
endif()

# The cross compiler must see Boost and nothing else of the build machine's /usr/include,
# so it gets a folder that holds only a link to boost/.
set(boost_include "${CMAKE_BINARY_DIR}/boost-include")
file(MAKE_DIRECTORY "${boost_include}")
if(NOT EXISTS "${boost_include}/boost")
    file(CREATE_LINK "${KELVO_BOOST_ROOT}" "${boost_include}/boost" SYMBOLIC)
endif()

add_library(boost_headers INTERFACE)
target_include_directories(boost_headers SYSTEM INTERFACE "${boost_include}")
target_compile_definitions(boost_headers INTERFACE
    BOOST_ASIO_SEPARATE_COMPILATION BOOST_ASIO_NO_DEPRECATED BOOST_ALL_NO_LIB)
if(WIN32)
    # bcrypt: Asio's compiled implementation names its pipes from random numbers.
    target_link_libraries(boost_headers INTERFACE ws2_32 mswsock bcrypt)
else()
    find_package(Threads REQUIRED)
    target_link_libraries(boost_headers INTERFACE Threads::Threads)
endif()

if(KELVO_BUILD_TESTS)
    set(KELVO_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory("${KELVO_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
    include(GoogleTest)
endif()
