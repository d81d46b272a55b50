# cmake --install: the static libraries, the public headers under
# include/ZdReport, the zdreport tool (app/CMakeLists.txt) and the package
# files that find_package(ZdReport) reads from lib/cmake/ZdReport.
include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(zd_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/ZdReport)

install(TARGETS zdreportlib ${zd_core_libraries} EXPORT ZdReportTargets
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT ZdReportTargets NAMESPACE ZdReport:: DESTINATION ${zd_package_dir})
# A target file of its own, read only for the PrintSupport component, so that
# the core package does not look for Qt Widgets.
install(TARGETS zdprintsupport EXPORT ZdReportPrintSupportTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT ZdReportPrintSupportTargets NAMESPACE ZdReport:: DESTINATION ${zd_package_dir})
# The preview window, for the Preview component; it needs PrintSupport's targets.
install(TARGETS zdpreview EXPORT ZdReportPreviewTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT ZdReportPreviewTargets NAMESPACE ZdReport:: DESTINATION ${zd_package_dir})
# The same for QuickPrintWidgets, the printers of Qt's item views.
install(TARGETS zdquickprintwidgets EXPORT ZdReportQuickPrintWidgetsTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT ZdReportQuickPrintWidgetsTargets NAMESPACE ZdReport:: DESTINATION ${zd_package_dir})

# The visual designer, for the Designer component; it needs Preview's targets.
install(TARGETS zddesigner EXPORT ZdReportDesignerTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(EXPORT ZdReportDesignerTargets NAMESPACE ZdReport:: DESTINATION ${zd_package_dir})

install(FILES ${PROJECT_BINARY_DIR}/generated/zdreport/Version.h DESTINATION include/ZdReport/zdreport)

configure_package_config_file(cmake/ZdReportConfig.cmake.in ${PROJECT_BINARY_DIR}/ZdReportConfig.cmake
                              INSTALL_DESTINATION ${zd_package_dir})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ZdReportConfigVersion.cmake
                                 COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ZdReportConfig.cmake ${PROJECT_BINARY_DIR}/ZdReportConfigVersion.cmake
              cmake/FindZint.cmake
        DESTINATION ${zd_package_dir})
