# Writes the page: page.html with its style, its scripts and, for its worker, the module
# (quorvane.js, the WebAssembly inside) followed by worker.js, and the same with the SIMD module
# (quorvane-simd.js). Run with -P; SOURCE_DIR, MODULE, SIMD_MODULE and PAGE name the inputs and
# the page.
file(READ ${SOURCE_DIR}/page.html page)
file(READ ${SOURCE_DIR}/page.css style)
file(READ ${SOURCE_DIR}/page.js page_script)
file(READ ${SOURCE_DIR}/zip.js zip_script)
file(READ ${SOURCE_DIR}/worker.js worker_script)
file(READ ${MODULE} module)
file(READ ${SIMD_MODULE} simd_module)
foreach(part module simd_module page_script zip_script worker_script)
  string(FIND "${${part}}" "</script" closing)
  if(NOT closing EQUAL -1)
    message(FATAL_ERROR "${part} holds \"</script\", which would end its script in the page")
  endif()
endforeach()
string(REPLACE "/*@PAGE_CSS@*/" "${style}" page "${page}")
string(REPLACE "/*@ZIP@*/" "${zip_script}" page "${page}")
string(REPLACE "/*@PAGE_JS@*/" "${page_script}" page "${page}")
string(REPLACE "/*@WORKER@*/" "${module}\n${worker_script}" page "${page}")
string(REPLACE "/*@SIMD_WORKER@*/" "${simd_module}\n${worker_script}" page "${page}")
file(WRITE ${PAGE} "${page}")
