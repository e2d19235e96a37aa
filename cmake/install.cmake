# What `cmake --install BUILD [--prefix P]` puts below P, and the Debian package
# made from it (`cpack -G DEB` in the build folder). The tree is relocatable: no
# file holds a path of the build or source folder, and every program finds what
# it needs relative to its own location:
#   bin/                          murinex, murinex-run, murinex-movie,
#                                 murinex-experiment, murinex-make-run
#   share/murinex/default-run/    the default run folder
#   share/murinex/workflow/       the experiment workflow (murinex-experiment)
#   share/murinex/experiments/    the experiment files; their base ../default-run
#                                 is share/murinex/default-run, as in the checkout
#   share/doc/murinex/            README.md and docs/
#   share/man/man1/               man pages made from the programs' --help
#   lib/python3/dist-packages/    the Python module murinex (Debian's python3
#                                 looks there below /usr)
include(GNUInstallDirs)
# The documentation folder is named after the package (murinex), not the project.
set(MURINEX_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/murinex)

set(MURINEX_PYTHON_INSTALL_DIR lib/python3/dist-packages CACHE STRING
    "Where below the prefix the Python module murinex is installed")

set(programs murinex-run)
if(MURINEX_GUI)
  list(APPEND programs murinex murinex-movie)
endif()
install(TARGETS ${programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS scripts/experiment DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME murinex-experiment)
install(PROGRAMS tools/make_run_folder.py DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME murinex-make-run)

install(DIRECTORY default-run/ DESTINATION ${CMAKE_INSTALL_DATADIR}/murinex/default-run)
# slurm-status.py is started as a program by Snakemake: the permissions stay.
install(DIRECTORY workflow/ DESTINATION ${CMAKE_INSTALL_DATADIR}/murinex/workflow
        USE_SOURCE_PERMISSIONS PATTERN __pycache__ EXCLUDE)
install(DIRECTORY experiments/ DESTINATION ${CMAKE_INSTALL_DATADIR}/murinex/experiments)
install(FILES README.md DESTINATION ${MURINEX_DOC_DIR})
install(DIRECTORY docs/ DESTINATION ${MURINEX_DOC_DIR}/docs
        PATTERN .ipynb_checkpoints EXCLUDE)

if(TARGET murinex_core)
  install(TARGETS murinex_core LIBRARY DESTINATION ${MURINEX_PYTHON_INSTALL_DIR}/murinex)
  install(FILES python/murinex/__init__.py python/murinex/__init__.pyi python/murinex/py.typed
          DESTINATION ${MURINEX_PYTHON_INSTALL_DIR}/murinex)
endif()

# Man pages from each program's --help, made at build time. help2man starts the
# programs by their installed names from a folder laid out like the installed
# tree (the Python programs find the workflow there), so no build path gets in.
option(MURINEX_MAN "Make man pages from the programs' --help (help2man)" ON)
if(MURINEX_MAN)
  find_program(MURINEX_HELP2MAN help2man)
  if(NOT MURINEX_HELP2MAN)
    message(FATAL_ERROR "help2man not found: install it (scripts/setup) or configure with -DMURINEX_MAN=OFF")
  endif()
  set(stage ${PROJECT_BINARY_DIR}/man/stage)
  set(summary_murinex "the desktop program: the world and the mice of a run, with charts and editors")
  set(summary_murinex-run "run the simulation of artificial mice without a screen")
  set(summary_murinex-movie "make a movie of a run of artificial mice")
  set(summary_murinex-experiment "run every condition and seed of an experiment file, then collect and plot")
  set(summary_murinex-make-run "make a run folder: world, population, images and sounds")
  set(pages)
  foreach(program ${programs} murinex-experiment murinex-make-run)
    if(program STREQUAL "murinex-experiment")
      set(source ${PROJECT_SOURCE_DIR}/scripts/experiment)
    elseif(program STREQUAL "murinex-make-run")
      set(source ${PROJECT_SOURCE_DIR}/tools/make_run_folder.py)
    else()
      set(source $<TARGET_FILE:${program}>)
    endif()
    set(page ${PROJECT_BINARY_DIR}/man/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${MURINEX_HELP2MAN} -DPROGRAM=${program} -DSOURCE=${source}
              -DSTAGE=${stage} -DWORKFLOW=${PROJECT_SOURCE_DIR}/workflow -DVERSION=${PROJECT_VERSION} "-DSUMMARY=${summary_${program}}"
              -DOUTPUT=${page} -P ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
      DEPENDS ${source} ${PROJECT_SOURCE_DIR}/cmake/man_page.cmake
      VERBATIM)
    list(APPEND pages ${page})
  endforeach()
  add_custom_target(murinex_man_pages ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The Debian package. dpkg-shlibdeps names the libraries the programs link
# (Qt, OpenSSL, zlib, the C++ runtime); the Python programs' packages are named here.
set(CPACK_PACKAGE_NAME murinex)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Murinex developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulation of a population of artificial mice")
set(CPACK_PACKAGE_DESCRIPTION
    "Murinex simulates artificial mice with needs, memory, genes and offspring in a\n"
    "world of food and water: a desktop program, a headless runner, movies,\n"
    "an experiment workflow on Snakemake (local cores or Slurm) and a Python module.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "python3, python3-numpy, python3-pandas, python3-yaml, python3-matplotlib, python3-scipy, python3-statsmodels, snakemake, ffmpeg")
# Sobol and Morris studies (python3-openturns), the fonts of the movies.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3-openturns, fonts-dejavu-core")
include(CPack)
