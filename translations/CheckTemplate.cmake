# Run by ctest: the template holds texts of the windows (tr()), of the .ui files and of the core.
file(READ "${TEMPLATE}" ts)
foreach(text IN ITEMS "Print Te&amp;st Page" "There is no print queue for a Brelmont embosser." "&amp;Queue:"
                      "The test page went to the queue %1 (%2 braille spacing)." "Firmware could not be downloaded!"
                      "%1 as braille text")
  string(FIND "${ts}" "<source>${text}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "translation template: \"${text}\" is missing from ${TEMPLATE}")
  endif()
endforeach()
