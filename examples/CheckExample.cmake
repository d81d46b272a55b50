# Runs one example and checks its output.
#   grouped_report (DATABASE set): the PDF, read by pdftotext, names every
#   country with its total as the database sums it, and numbers its pages.
#   item_model_report: the CSV holds every row and both totals.
file(REMOVE ${OUTPUT})
if(DATABASE)
  execute_process(COMMAND ${EXAMPLE} ${DATABASE} ${OUTPUT} RESULT_VARIABLE failed)
else()
  execute_process(COMMAND ${EXAMPLE} ${OUTPUT} RESULT_VARIABLE failed)
endif()
if(failed OR NOT EXISTS ${OUTPUT})
  message(FATAL_ERROR "${EXAMPLE} failed (${failed})")
endif()

function(expect text pattern)
  if(NOT text MATCHES "${pattern}")
    message(FATAL_ERROR "expected to find '${pattern}' in:\n${text}")
  endif()
endfunction()

if(DATABASE)
  execute_process(COMMAND pdftotext -layout ${OUTPUT} - OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
  string(ASCII 12 formFeed)  # starts each page; a country may open one
  string(REPLACE "${formFeed}" "\n" text "${text}")
  execute_process(COMMAND sqlite3 -separator = ${DATABASE}
                          "SELECT country, printf('%.2f', SUM(amount)) FROM order_lines GROUP BY country"
                  OUTPUT_VARIABLE sums COMMAND_ERROR_IS_FATAL ANY)
  string(STRIP "${sums}" sums)
  string(REPLACE "\n" ";" groups "${sums}")
  list(LENGTH groups count)
  if(count LESS 2)
    message(FATAL_ERROR "the database has too few countries: ${sums}")
  endif()
  foreach(group ${groups})
    string(REGEX REPLACE "=.*" "" country "${group}")
    string(REGEX REPLACE ".*=" "" sum "${group}")
    string(REPLACE "." "\\." sum "${sum}")
    expect("${text}" "\n *${country} *\n")
    expect("${text}" "Total +${sum}")
  endforeach()
  expect("${text}" "Page 1 of [0-9]+")
else()
  file(READ ${OUTPUT} text)
  foreach(row "North.*Apples.*12\\.5" "Pears.*7\\.25" "South.*Figs.*30" "Lemons.*4\\.75" "19\\.75" "34\\.75")
    expect("${text}" "${row}")
  endforeach()
endif()
