# Writes the service worker of the browser edition: the list of the page's files and a
# build name made of their contents, so that any change to any of them is a new build.
#   cmake -DSITE=build/web -DVERSION=0.1.0 -DTEMPLATE=web/sw.js.in -P web/stamp.cmake
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(sums "")
set(FILES "'./'")
foreach(f IN LISTS files)
  file(SHA256 ${SITE}/${f} sum)
  string(APPEND sums "${sum} ${f}\n")
  string(APPEND FILES ", '${f}'")
endforeach()
string(SHA256 build "${sums}")
string(SUBSTRING ${build} 0 12 build)
set(BUILD "${VERSION}-${build}")
configure_file(${TEMPLATE} ${SITE}/sw.js @ONLY)
