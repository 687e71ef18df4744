# asmora_warnings(target): our own code compiles warning-free with -Wall -Wextra.
function(asmora_warnings target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:CXX>:-Wall -Wextra -Wno-missing-field-initializers>
    $<$<COMPILE_LANGUAGE:C>:-Wall -Wextra>)
endfunction()
