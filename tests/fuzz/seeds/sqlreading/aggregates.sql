SELECT DISTINCT Orders.ShipCountry AS X1, sum(Orders.Freight) FROM Orders INNER JOIN Customers ON Orders.CustomerID = Customers.CustomerID WHERE Orders.Freight > 1 ORDER BY 2 DESC
