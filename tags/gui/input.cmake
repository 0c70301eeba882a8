# The input windows: the field form with its pick list and date box, the
# preview, the input text window, the script input boxes, printing.
find_package(Qt6 REQUIRED COMPONENTS PrintSupport)
brevix_library(bxinput_gui STATIC
  PickList.cpp
  DateEdit.cpp
  WindowPlacement.cpp
  InputFieldForm.cpp
  InputFieldProcess.cpp
  PreviewDlg.cpp
  TextPrinter.cpp
  InputMemoDlg.cpp
  InputBoxes.cpp
  InputHelp.cpp)
target_link_libraries(bxinput_gui PUBLIC bxinput_core bxspell_gui bxplatform_gui Qt6::Widgets
                                  Qt6::PrintSupport)
