# The language level and the warnings. The tools that run during the build take only these: a
# sanitizer in them would judge Qt's uninstrumented threads and stop the build.
add_library(velmora_base_options INTERFACE)
target_compile_features(velmora_base_options INTERFACE cxx_std_20)
target_compile_options(velmora_base_options INTERFACE
  -Wall -Wextra -Wold-style-cast -Wnon-virtual-dtor)
if(VELMORA_WERROR)
  target_compile_options(velmora_base_options INTERFACE -Werror)
endif()

# Every other target: the above and the sanitizers of the tree.
add_library(velmora_options INTERFACE)
target_link_libraries(velmora_options INTERFACE velmora_base_options)
if(ENABLE_SANITIZERS)
  target_compile_options(velmora_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(velmora_options INTERFACE -fsanitize=address,undefined)
endif()
if(VELMORA_TSAN)
  if(ENABLE_SANITIZERS)
    message(FATAL_ERROR "ThreadSanitizer (VELMORA_TSAN) and AddressSanitizer (ENABLE_SANITIZERS) exclude each other")
  endif()
  target_compile_options(velmora_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(velmora_options INTERFACE -fsanitize=thread)
endif()
if(VELMORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VELMORA_FUZZ needs clang (CXX=clang++)")
  endif()
  # Everything gets coverage for the fuzzer; only the fuzz targets link libFuzzer itself.
  target_compile_options(velmora_options INTERFACE
    -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(velmora_options INTERFACE -fsanitize=address,undefined)
endif()

# Qt targets additionally refuse implicit conversions between 8-bit strings and QString, narrowing
# conversions in connections and what Qt 6.4 deprecates. Qt 6.4 cannot refuse a connection without
# a context object; scripts/check_structure.sh does.
add_library(velmora_qt_options INTERFACE)
target_link_libraries(velmora_qt_options INTERFACE velmora_options)
target_compile_definitions(velmora_qt_options INTERFACE
  QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
