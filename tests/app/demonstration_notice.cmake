# The help page and the README still say that the shipped tables are
# demonstration data: a rewrite of either that drops the warning fails here.
foreach(check "${HELP}|demonstrasjonsdata" "${README}|demonstration data")
  string(REPLACE "|" ";" check "${check}")
  list(GET check 0 file)
  list(GET check 1 words)
  file(READ "${file}" text)
  string(FIND "${text}" "${words}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "${file} no longer says \"${words}\"")
  endif()
endforeach()
