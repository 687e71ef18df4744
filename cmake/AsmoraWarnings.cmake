# Our own code compiles with -Wall -Wextra and stays free of warnings.
function(asmora_warnings target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wno-missing-field-initializers>
    $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra>)
  # GCC 12 at -O3 reports overlaps inside std::string's own copies that cannot
  # happen (GCC bug 105651); the optimised benchmark build would show them.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)
  endif()
endfunction()
