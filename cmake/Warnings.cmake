# Our own targets build with warnings as errors; third-party code (GoogleTest) does not.
function(vellum_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()
