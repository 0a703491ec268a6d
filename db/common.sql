-- Indexes, views and the schema version: the same text on both backends, run after
-- the backend's own tables (sqlite/schema.sql or postgres/schema.sql) and before seed.sql.

-- Look-up indexes

CREATE INDEX IX_Card_CardCode ON T_Card (CardCode);
CREATE INDEX IX_Card_Category ON T_Card (Category);
CREATE INDEX IX_CardCash_UserID ON T_CardCash (UserID);
CREATE INDEX IX_CardCash_CardCode ON T_CardCash (CardCode);
-- A bill number is taken once: two workstations proposing the same number cannot both store it.
CREATE UNIQUE INDEX UX_CardCash_BillCode ON T_CardCash (BillCode);
CREATE INDEX IX_CardCashDetail_BillCode ON T_CardCashDetail (BillCode);
CREATE INDEX IX_Money_CardCode ON T_Money (CardCode);
CREATE INDEX IX_DHRecord_UserID ON T_DHRecord (UserID);
CREATE INDEX IX_Goods_GoodsCode ON T_Goods (GoodsCode);
CREATE INDEX IX_Goods_GoodsType ON T_Goods (GoodsType);
CREATE INDEX IX_Admin_UserName ON Admin (UserName);
CREATE INDEX IX_UserAuthority_UserName ON T_UserAuthority (UserName);
CREATE INDEX IX_PartAuthority_PartName ON T_PartAuthority (PartName);
CREATE INDEX IX_FieldShow_TableName ON T_FieldShow (TableName);
CREATE INDEX IX_MemCategory_code ON Mem_Category (code);
CREATE INDEX IX_GoodsCategory_code ON Goods_Category (code);
CREATE INDEX IX_CardLedger_CardCode ON T_CardLedger (CardCode);

-- Views

-- One row per bill with its member's columns. Cent is the points the bill earned: the sum
-- of its lines' points for money bills; for count-card uses the header's Percent holds them.
CREATE VIEW S_Cash AS
SELECT
  cc.CashDate AS CashDate,
  cc.CashMoney AS CashMoney,
  CASE WHEN c.NewCard = '计次卡' THEN COALESCE(cc.Percent, 0)
       ELSE COALESCE((SELECT SUM(d.Cent) FROM T_CardCashDetail d WHERE d.BillCode = cc.BillCode), 0)
  END AS Cent,
  c.MemName AS MemName,
  c.CardCode AS CardCode,
  c.Sex AS Sex,
  c.CardLevel AS CardLevel,
  cc.F_User AS UserName,
  cc.Remark AS Remark,
  cc.Percent AS Percent,
  cc.BillCode AS BillCode,
  c.NewCard AS NewCard,
  cc.UserID AS UserID,
  cc.ssMoney AS ssMoney,
  cc.ykMoney AS ykMoney,
  cc.Money AS Money,
  cc.Time AS Time,
  c.tel AS tel,
  c.Mobile AS Mobile,
  c.Category AS Category
FROM T_CardCash cc
JOIN T_Card c ON c.UserID = cc.UserID;

-- One row per exchange with its member's columns.
CREATE VIEW S_DHRecord AS
SELECT
  r.UserID AS UserID,
  r.DHCent AS DHCent,
  r.DHDate AS DHDate,
  c.CardCode AS CardCode,
  r.GoodsCode AS GoodsCode,
  r.GoodsName AS GoodsName,
  r.DHNum AS DHNum,
  r.Cent AS Cent,
  c.MemName AS MemName,
  c.Sex AS Sex,
  c.tel AS tel,
  c.Mobile AS Mobile,
  c.CardLevel AS CardLevel,
  c.NewCard AS NewCard
FROM T_DHRecord r
JOIN T_Card c ON c.UserID = r.UserID;

-- The consumption summary with its members' columns; a summary row whose card is gone still shows.
CREATE VIEW V_Temp_MemCount AS
SELECT
  t.CardCode AS CardCode,
  t.CashMoney AS CashMoney,
  t.Cent AS Cent,
  t.F_Flag AS F_Flag,
  c.MemName AS MemName,
  c.Sex AS Sex,
  c.tel AS tel,
  c.Mobile AS Mobile,
  c.CardLevel AS CardLevel,
  c.NewCard AS NewCard,
  c.Category AS Category,
  c.Money AS Money
FROM T_Temp_MemCount t
LEFT JOIN T_Card c ON c.CardCode = t.CardCode;

INSERT INTO T_SchemaVersion (Version) VALUES (1);
