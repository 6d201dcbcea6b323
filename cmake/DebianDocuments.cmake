# Run by cpack on the staged tree before it is packed: Debian wants the manual pages and the
# changelog compressed with gzip -9n, and a copyright file beside the changelog.
set(usr ${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX})
set(doc ${usr}/share/doc/${CPACK_PACKAGE_NAME})
file(MAKE_DIRECTORY ${doc})
file(COPY_FILE ${CPACK_FOLVERIN_DEBIAN_DIR}/copyright ${doc}/copyright)
file(COPY_FILE ${CPACK_FOLVERIN_DEBIAN_DIR}/changelog ${doc}/changelog.Debian)
file(CHMOD ${doc}/copyright ${doc}/changelog.Debian PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(GLOB manual_pages ${usr}/share/man/man*/*.[1-9])
execute_process(COMMAND gzip -9nf ${manual_pages} ${doc}/changelog.Debian COMMAND_ERROR_IS_FATAL ANY)
