# Project-wide compiler settings: warnings everywhere, optional sanitizers.
option(VM_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_library(vm_options INTERFACE)
target_compile_features(vm_options INTERFACE cxx_std_20)
target_compile_options(vm_options INTERFACE -Wall -Wextra)
if(VM_SANITIZE)
    target_compile_options(vm_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                -fno-sanitize-recover=undefined)
    target_link_options(vm_options INTERFACE -fsanitize=address,undefined)
endif()
