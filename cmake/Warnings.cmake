# Our own targets build with warnings as errors; third-party code (GoogleTest) does not.
function(vellum_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    # GCC 12 warns falsely on "literal" + std::string at -O2 (GCC bug 105329, fixed in 13).
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-restrict)
    endif()
endfunction()
