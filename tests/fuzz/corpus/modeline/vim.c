/* vim: set ts=8: */
 vi:set tabstop=2 noet: