# Project-wide compiler settings: warnings everywhere, optional sanitizers.
option(VM_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(VM_FUZZ "Build the libFuzzer harnesses over the Qt-free layers (needs clang)" OFF)

add_library(vm_options INTERFACE)
target_compile_features(vm_options INTERFACE cxx_std_20)
target_compile_options(vm_options INTERFACE -Wall -Wextra)
if(VM_SANITIZE)
    target_compile_options(vm_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                -fno-sanitize-recover=undefined)
    target_link_options(vm_options INTERFACE -fsanitize=address,undefined)
endif()
if(VM_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
        message(FATAL_ERROR "VM_FUZZ needs clang (libFuzzer): configure with -DCMAKE_CXX_COMPILER=clang++")
    endif()
    # Every layer gets the coverage instrumentation; the harnesses link the fuzzer's main (fuzz/).
    target_compile_options(vm_options INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(vm_options INTERFACE -fsanitize=address,undefined)
endif()
