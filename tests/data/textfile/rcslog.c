/*
 * $Id: rcslog.c,v 1.2 2011/03/05 14:22:00 tj Exp $
 *
 * $Log: rcslog.c,v $
 * Revision 1.2  2011/03/05 14:22:00  tj
 * Second revision.
 *
 * Revision 1.1  2011/02/01 10:00:00  tj
 * Initial revision
 *
 */
int a;
