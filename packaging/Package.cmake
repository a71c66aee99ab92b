# The Debian package (scripts/package makes it with `cpack`): everything `install` puts
# under /usr, its dependencies computed from the programs' libraries by dpkg-shlibdeps,
# plus what the programs load by name at run time.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME uroflow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT ${UROFLOW_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${UROFLOW_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack indents the lines after the first itself and turns an empty line into " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "uroflowmetry: download, show and evaluate a day of voidings
The desktop program of a portable uroflowmeter. A patient takes the
uroflowmeter home for a day; every voiding is stored in its memory. The
program downloads that memory through the uroflowmeter's USB reader, shows
each voiding as a uroflowgram with its indices, places the day on the age
and sex nomograms, compares it with an archived day, prints it, keeps days
in study files and writes the day report as a PDF. Its window is in Russian.

Also holds uroflow-report (a study file as JSON, CSV or an Excel workbook),
uroflow-archive (the patient archive from the command line) and the udev
rule that lets the user at the computer open the reader.")

set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded by name, so dpkg-shlibdeps cannot see them: the window's "Arial" (Liberation Sans),
# the day report's font, the Russian texts of Qt's dialogs, the embedded archive's driver.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "fonts-liberation2, fonts-dejavu-core, qt6-translations-l10n, libqt6sql6-sqlite")
# An archive on a PostgreSQL server needs its driver.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql")

# udev takes the reader's rule when the package comes and forgets it when it goes.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/postinst
    ${PROJECT_SOURCE_DIR}/packaging/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
