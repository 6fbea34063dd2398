# Writes the page as it is served: index.html from its template with the street's markup
# and the page's title, and casino.css from the page's stylesheet with the street's layout
# rules, all printed by the street tool (street_page.cpp) under Node.js.
#   cmake -DNODE=<node> -DTOOL=<street_page.js> -DSOURCE=<page folder> -DSITE=<folder> -P ...
foreach(part title markup layout)
  execute_process(COMMAND ${NODE} ${TOOL} ${part} OUTPUT_VARIABLE street_${part}
                  COMMAND_ERROR_IS_FATAL ANY)
  string(STRIP "${street_${part}}" street_${part})
endforeach()
set(CASINO_TITLE "${street_title}")
set(CASINO_STREET "${street_markup}")
configure_file(${SOURCE}/index.html.in ${SITE}/index.html @ONLY)
file(READ ${SOURCE}/casino.css style)
file(WRITE ${SITE}/casino.css "${style}\n/* The street as served, until the game takes the window over. */\n${street_layout}\n")
