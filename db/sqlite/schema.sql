-- Orvalis database, SQLite flavour.
-- Keep in step with ../postgres/schema.sql: both must give the same tables and views
-- with the same columns in the same order (some windows read columns by position).
--
-- Format read by the installer: every statement ends with ";" as the last character of a
-- line, no other line ends with ";", and comments are whole lines starting with "--".
--
-- Declared types tell the program what kind of value a column holds:
--   INTEGER PRIMARY KEY AUTOINCREMENT  identity key
--   VARCHAR(n)/TEXT COLLATE NOCASE     text; names and codes compare without case
--   DOUBLE                             points, quantities, line prices, discounts, ratios
--   NUMERIC(19,4)                      money (the program rounds to four decimals)
--   DATE / DATETIME                    date only / date and time
--   INTEGER                            whole numbers
--   SMALLINT                           flags, 0 or 1
-- An empty issue or expiry date is day 0, 1899-12-30; an empty birthday is NULL.

CREATE TABLE T_SchemaVersion (
  Version INTEGER
);

-- Members and transactions

-- One row per member; a member holds exactly one card.
CREATE TABLE T_Card (
  UserID INTEGER PRIMARY KEY AUTOINCREMENT,
  CardCode VARCHAR(20) COLLATE NOCASE,
  MemName VARCHAR(30) COLLATE NOCASE,
  Sex VARCHAR(10) COLLATE NOCASE,
  dw VARCHAR(150) COLLATE NOCASE,
  address VARCHAR(150) COLLATE NOCASE,
  Zip VARCHAR(6) COLLATE NOCASE,
  tel VARCHAR(50) COLLATE NOCASE,
  email VARCHAR(50) COLLATE NOCASE,
  mz VARCHAR(30) COLLATE NOCASE,
  Discount DOUBLE DEFAULT 1,
  BeginDate DATE DEFAULT '1899-12-30',
  EndDate DATE DEFAULT '1899-12-30',
  NewCard VARCHAR(50) COLLATE NOCASE DEFAULT '折扣卡',
  CashMoney NUMERIC(19,4) DEFAULT 0,
  Cent DOUBLE DEFAULT 0,
  UserName VARCHAR(20) COLLATE NOCASE,
  Birthday DATE,
  Mobile VARCHAR(20) COLLATE NOCASE,
  Category VARCHAR(20) COLLATE NOCASE,
  StartCent DOUBLE DEFAULT 0,
  Other1 VARCHAR(50) COLLATE NOCASE,
  Other2 VARCHAR(50) COLLATE NOCASE,
  Other3 VARCHAR(50) COLLATE NOCASE,
  Other4 DATE,
  Other5 VARCHAR(50) COLLATE NOCASE,
  Other6 VARCHAR(50) COLLATE NOCASE,
  Pic TEXT COLLATE NOCASE,
  CentPer INTEGER,
  Money NUMERIC(19,4) DEFAULT 0,
  state VARCHAR(50) COLLATE NOCASE DEFAULT '可用',
  time INTEGER DEFAULT 0,
  Password VARCHAR(50) COLLATE NOCASE,
  CardLevel VARCHAR(50) COLLATE NOCASE,
  memo VARCHAR(20) COLLATE NOCASE
);

-- Consumption bill headers, count-card uses included.
CREATE TABLE T_CardCash (
  CashID INTEGER PRIMARY KEY AUTOINCREMENT,
  UserID INTEGER,
  CashDate DATE,
  CashMoney NUMERIC(19,4) DEFAULT 0,
  Remark VARCHAR(50) COLLATE NOCASE,
  Percent DOUBLE,
  F_User VARCHAR(50) COLLATE NOCASE,
  BillCode VARCHAR(50) COLLATE NOCASE,
  CardCode VARCHAR(50) COLLATE NOCASE,
  Money DOUBLE DEFAULT 0,
  Time DOUBLE DEFAULT 0,
  ssMoney NUMERIC(19,4) DEFAULT 0,
  ykMoney NUMERIC(19,4) DEFAULT 0
);

-- Bill lines, tied to their header by BillCode.
CREATE TABLE T_CardCashDetail (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  GoodsCode VARCHAR(50) COLLATE NOCASE,
  GoodsName VARCHAR(50) COLLATE NOCASE,
  Number DOUBLE DEFAULT 0,
  CashMoney NUMERIC(19,4) DEFAULT 0,
  Price DOUBLE DEFAULT 0,
  CashID INTEGER,
  Discount DOUBLE,
  Remark VARCHAR(50) COLLATE NOCASE,
  Units VARCHAR(20) COLLATE NOCASE,
  Cent DOUBLE DEFAULT 0,
  BillCode VARCHAR(50) COLLATE NOCASE,
  CardCode VARCHAR(50) COLLATE NOCASE
);

-- Opening amounts, renewals and top-ups.
CREATE TABLE T_Money (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  CardCode VARCHAR(50) COLLATE NOCASE,
  MemName VARCHAR(50) COLLATE NOCASE,
  xfdate DATE,
  xfmoney NUMERIC(19,4) DEFAULT 0,
  UserName VARCHAR(50) COLLATE NOCASE,
  CardType VARCHAR(50) COLLATE NOCASE
);

-- Points exchanges.
CREATE TABLE T_DHRecord (
  DHID INTEGER PRIMARY KEY AUTOINCREMENT,
  GoodsCode VARCHAR(50) COLLATE NOCASE,
  GoodsName VARCHAR(50) COLLATE NOCASE,
  DHDate DATE,
  DHNum DOUBLE DEFAULT 0,
  DHCent DOUBLE DEFAULT 0,
  UserID INTEGER,
  Cent DOUBLE DEFAULT 0,
  CardCode VARCHAR(20) COLLATE NOCASE
);

-- Balance journal: one row per change of a card's Money, written in the same
-- transaction as the change, so every balance can be traced back.
-- Kind is one of:
--   开户      opening amount of a new card
--   消费      money bill paid from the card
--   删除消费  a deleted bill given back to the card
--   续费      renewal / top-up
--   转出      transfer to another card (this card gives)
--   转入      transfer from another card (this card receives)
--   计次消费  count-card use (Money counts uses)
--   换卡      card number changed (no amount moves)
--   结帐清零  discount-card checkout sets the balance to 0
CREATE TABLE T_CardLedger (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  CardCode VARCHAR(50) COLLATE NOCASE,
  UserID INTEGER,
  Kind VARCHAR(20) COLLATE NOCASE,
  Change NUMERIC(19,4) DEFAULT 0,
  Balance NUMERIC(19,4) DEFAULT 0,
  BillCode VARCHAR(50) COLLATE NOCASE,
  UserName VARCHAR(20) COLLATE NOCASE,
  LogTime DATETIME
);

-- Goods

CREATE TABLE T_Goods (
  GoodsID INTEGER PRIMARY KEY AUTOINCREMENT,
  GoodsType VARCHAR(50) COLLATE NOCASE,
  GoodsCode VARCHAR(50) COLLATE NOCASE,
  GoodsName VARCHAR(50) COLLATE NOCASE,
  SalePrice NUMERIC(19,4) DEFAULT 0,
  InPrice NUMERIC(19,4) DEFAULT 0,
  Units VARCHAR(20) COLLATE NOCASE,
  DepotNum DOUBLE DEFAULT 0,
  BarCode VARCHAR(50) COLLATE NOCASE,
  Remark VARCHAR(50) COLLATE NOCASE
);

-- Gifts that members obtain for points.
CREATE TABLE T_DHGoods (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  GoodsCode VARCHAR(50) COLLATE NOCASE,
  GoodsName VARCHAR(50) COLLATE NOCASE,
  Cent DOUBLE DEFAULT 0,
  DepotNum DOUBLE DEFAULT 0,
  Remark VARCHAR(50) COLLATE NOCASE
);

-- Settings and dictionaries

-- Exactly one row. No leading key: the columns keep their documented order.
CREATE TABLE T_SoftInfo (
  SoftName VARCHAR(50) COLLATE NOCASE,
  Version VARCHAR(20) COLLATE NOCASE,
  INI1 INTEGER DEFAULT 2,
  INI2 INTEGER DEFAULT 2,
  INI3 INTEGER DEFAULT 2,
  autogoodscode SMALLINT DEFAULT 0,
  ID INTEGER PRIMARY KEY AUTOINCREMENT
);

-- Exactly one row: the shop's company information.
CREATE TABLE Info (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  Company VARCHAR(50) COLLATE NOCASE,
  Regname VARCHAR(20) COLLATE NOCASE,
  Address VARCHAR(50) COLLATE NOCASE,
  fax VARCHAR(50) COLLATE NOCASE,
  tel VARCHAR(50) COLLATE NOCASE,
  Postcode VARCHAR(50) COLLATE NOCASE,
  Version VARCHAR(10) COLLATE NOCASE,
  name VARCHAR(50) COLLATE NOCASE
);

-- Card levels; upgrade cards use the star levels.
CREATE TABLE Dict_CardType (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  CardType VARCHAR(50) COLLATE NOCASE,
  Discount DOUBLE,
  UpgradeMoney NUMERIC(19,4)
);

-- Points ratios, read by position: key first, ratio second; the first row is the default.
CREATE TABLE Dict_CashPercent (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  CashPercent DOUBLE
);

CREATE TABLE Dict_Units (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(20) COLLATE NOCASE
);

-- Nationalities, read by position: key first, name second.
CREATE TABLE Dict_Mz (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(30) COLLATE NOCASE
);

CREATE TABLE Dict_GoodsType (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Name VARCHAR(50) COLLATE NOCASE
);

-- Category trees: two digits per level, the parent is the code without its last two digits.
CREATE TABLE Mem_Category (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  code VARCHAR(12) COLLATE NOCASE,
  name VARCHAR(50) COLLATE NOCASE
);

CREATE TABLE Goods_Category (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  code VARCHAR(12) COLLATE NOCASE,
  name VARCHAR(50) COLLATE NOCASE
);

-- Data initialisation actions: caption, the one statement run for it, offered (1) or not.
CREATE TABLE Dict_ClearData (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  Action VARCHAR(50) COLLATE NOCASE,
  SQL TEXT COLLATE NOCASE,
  F_Flag INTEGER DEFAULT 1
);

-- Operators and rights

-- Operators. Read by position: id first, name second.
CREATE TABLE Admin (
  UserID INTEGER PRIMARY KEY AUTOINCREMENT,
  UserName VARCHAR(20) COLLATE NOCASE,
  Password VARCHAR(50) COLLATE NOCASE,
  PartName VARCHAR(50) COLLATE NOCASE,
  Remark VARCHAR(100) COLLATE NOCASE,
  Permit INTEGER DEFAULT 0,
  IsUser SMALLINT DEFAULT 1
);

-- Roles.
CREATE TABLE T_Part (
  PartID INTEGER PRIMARY KEY AUTOINCREMENT,
  PartName VARCHAR(50) COLLATE NOCASE,
  Remark VARCHAR(100) COLLATE NOCASE
);

-- The rights catalogue, ordered by Code (two digits per level).
CREATE TABLE T_System (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  FunctionName VARCHAR(50) COLLATE NOCASE,
  Authority SMALLINT DEFAULT 0,
  Tag INTEGER DEFAULT 1,
  Code VARCHAR(10) COLLATE NOCASE
);

-- Rights template of each role, one row per catalogue entry, stored in catalogue order.
CREATE TABLE T_PartAuthority (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  PartName VARCHAR(50) COLLATE NOCASE,
  FunctionName VARCHAR(50) COLLATE NOCASE,
  Authority SMALLINT DEFAULT 0,
  Tag INTEGER DEFAULT 1,
  Code VARCHAR(10) COLLATE NOCASE
);

-- Rights of each operator: the n-th row in UserAuthorityID order is right number n.
-- Tag: 1 cleared, 2 ticked, 3 partly ticked.
CREATE TABLE T_UserAuthority (
  UserAuthorityID INTEGER PRIMARY KEY AUTOINCREMENT,
  UserName VARCHAR(20) COLLATE NOCASE,
  FunctionName VARCHAR(50) COLLATE NOCASE,
  Authority SMALLINT DEFAULT 0,
  Tag INTEGER DEFAULT 1,
  Code VARCHAR(10) COLLATE NOCASE
);

-- Grid and import configuration

-- One row per column of a configurable grid; TableName names the grid configuration.
CREATE TABLE T_FieldShow (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  TableName VARCHAR(50) COLLATE NOCASE,
  Field VARCHAR(50) COLLATE NOCASE,
  Name VARCHAR(50) COLLATE NOCASE,
  Width INTEGER DEFAULT 80,
  Show INTEGER DEFAULT 0,
  ShowID INTEGER DEFAULT 0,
  SumField INTEGER DEFAULT 0,
  ShowButton INTEGER DEFAULT 0,
  dotsize INTEGER DEFAULT 0
);

-- Excel import mapping; F_Field ' ' (or empty) means the column is not imported.
CREATE TABLE T_Import (
  ImportID INTEGER PRIMARY KEY AUTOINCREMENT,
  tablename VARCHAR(20) COLLATE NOCASE,
  S_Field VARCHAR(30) COLLATE NOCASE,
  FieldName VARCHAR(50) COLLATE NOCASE,
  F_Field VARCHAR(50) COLLATE NOCASE DEFAULT ' '
);

-- Scratch tables

-- Member consumption summary of the statistics window, refilled by every run.
CREATE TABLE T_Temp_MemCount (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  CardCode VARCHAR(50) COLLATE NOCASE,
  CashMoney NUMERIC(19,4),
  Cent DOUBLE,
  F_Flag INTEGER
);

-- Column template of the exchange entry's pick list; never written.
CREATE TABLE T_TempDHRecord (
  ID INTEGER PRIMARY KEY AUTOINCREMENT,
  GoodsCode VARCHAR(50) COLLATE NOCASE,
  GoodsName VARCHAR(50) COLLATE NOCASE,
  Cent DOUBLE,
  DHNum DOUBLE,
  DHCent DOUBLE,
  DHDate DATE
);
